// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/status.h"

#include <cerrno>

extern "C" {
#include <libavutil/error.h>
}

namespace media {

Status Status::fromAv(int averror, const std::string& what) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, buf, sizeof buf);
    std::string text = what.empty() ? std::string(buf) : what + ": " + buf;
    std::int32_t code = kFail;
    if (averror == AVERROR(ENOMEM)) code = kOutOfMemory;
    else if (averror == AVERROR(ENOENT)) code = kFileNotFound;
    else if (averror == AVERROR(EACCES) || averror == AVERROR(EPERM)) code = kAccessDenied;
    else if (averror == AVERROR(ENOSPC)) code = kDiskFull;
    else if (averror == AVERROR(EINVAL)) code = kInvalidArg;
    return {code, text};
}

}  // namespace media
