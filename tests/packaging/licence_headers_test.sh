#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file the project tracks names its licence in its first lines, so that a file
# taken out of the tree still says under what terms it may be used. Usage:
#   licence_headers_test.sh SOURCE_DIR
# Ends with 77 (skipped) where git is missing or SOURCE_DIR is not the top of a git checkout.
set -euo pipefail
src=$(cd "$1" && pwd -P)
command -v git >/dev/null || { echo "git is not installed: skipped"; exit 77; }
top=$(git -C "$src" rev-parse --show-toplevel 2>/dev/null) || { echo "$src is not a git checkout: skipped"; exit 77; }
[[ $(cd "$top" && pwd -P) == "$src" ]] || { echo "$src is not the top of its git checkout: skipped"; exit 77; }

spdx='SPDX-License-Identifier: GPL-3.0-or-later'
missing=()
while IFS= read -r -d '' f; do
    [[ -f $src/$f ]] || continue  # removed in the working tree, not yet in the index
    case $f in
        *.cpp | *.h) comment="// $spdx" ;;
        *) comment="# $spdx" ;;
    esac
    head -n 3 "$src/$f" | tr -d '\r' | grep -qxF "$comment" || missing+=("$f")
done < <(git -C "$src" ls-files -z -- '*.cpp' '*.h' '*.sh' '*.py' '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt')

if [[ ${#missing[@]} -gt 0 ]]; then
    echo "FAIL: these files lack \"$spdx\" as a comment in their first 3 lines:" >&2
    printf '  %s\n' "${missing[@]}" >&2
    exit 1
fi
echo "every tracked source file names its licence: ok"
