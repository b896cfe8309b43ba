// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/codec_state_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "media/core/log.h"

namespace media::codecs {
namespace {

Status ioFailure(const std::string& what, const std::filesystem::path& path, int err) {
    std::int32_t code = Status::kFail;
    if (err == ENOSPC || err == EDQUOT)
        code = Status::kDiskFull;
    else if (err == EACCES || err == EPERM || err == EROFS)
        code = Status::kAccessDenied;
    return {code, what + " \"" + path.string() + "\": " + std::strerror(err)};
}

// Writes all of `data` to `fd`, retrying short writes.
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::filesystem::path CodecStateStore::userFolder() {
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg && std::filesystem::path(xdg).is_absolute()) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : ".") / ".config";
    }
    return base / "KORVANE" / "codecs";
}

std::filesystem::path CodecStateStore::pathFor(const std::string& codec) const {
    // Encoder names are letters, digits, '_' and '-'; keep anything else out of the path.
    std::string safe;
    for (char c : codec) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-';
        safe += plain ? c : '_';
    }
    if (safe.empty()) safe = "_";
    return folder_ / (safe + ".state");
}

std::optional<std::vector<std::uint8_t>> CodecStateStore::load(const std::string& codec) const {
    const auto path = pathFor(codec);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileSize) {
        log(LogLevel::Warning,
            "Ignoring codec settings file \"" + path.string() + "\": not a settings file");
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()))) {
        log(LogLevel::Warning, "Could not read codec settings file \"" + path.string() + "\"");
        return std::nullopt;
    }
    return bytes;
}

Status CodecStateStore::save(const std::string& codec, std::span<const std::uint8_t> state) const {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec)
        return ioFailure("Could not save the codec settings: cannot create the folder", folder_,
                         ec.value());

    const auto target = pathFor(codec);
    std::string temp = target.string() + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return ioFailure("Could not save the codec settings to", target, errno);
    ::fchmod(fd, 0644);
    bool written = writeAll(fd, state.data(), state.size()) && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        err = errno;
    }
    if (!written || std::rename(temp.c_str(), target.c_str()) != 0) {
        if (written) err = errno;
        ::unlink(temp.c_str());
        return ioFailure("Could not save the codec settings to", target, err);
    }
    // Make the rename itself durable.
    int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return Status::ok();
}

std::shared_ptr<const CodecStateStore> userCodecStateStore() {
    static const auto store =
        std::make_shared<const CodecStateStore>(CodecStateStore::userFolder());
    return store;
}

}  // namespace media::codecs
