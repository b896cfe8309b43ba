// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/partial_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/mem.h>
}

namespace media {
namespace {

constexpr int kBufferSize = 1 << 16;
constexpr std::size_t kMaxTempNameStem = 180;  // leaves room for the prefix and suffix in 255 bytes

std::string folderOf(const std::string& path) {
    std::filesystem::path p(path);
    std::string dir = p.parent_path().string();
    return dir.empty() ? "." : dir;
}

std::string reason(int err) {
    return std::strerror(err);
}

}  // namespace

Status folderError(int err, const std::string& path) {
    const std::string dir = folderOf(path);
    std::string why;
    std::int32_t code = Status::kAccessDenied;
    switch (err) {
        case ENOENT:
            why = "the folder does not exist";
            code = Status::kFileNotFound;
            break;
        case ENOTDIR:
            why = "part of the path is a file, not a folder";
            code = Status::kFileNotFound;
            break;
        case EROFS:
            why = "the disk is read-only";
            break;
        case EACCES:
        case EPERM:
            why = "permission denied";
            break;
        case ENOSPC:
        case EDQUOT:
            return {Status::kDiskFull, "Cannot write \"" + path + "\": no space left on the disk."};
        case ENAMETOOLONG:
            why = "the name is too long";
            break;
        default:
            why = reason(err);
            break;
    }
    return {code, "Cannot write \"" + path + "\": cannot write in the folder \"" + dir + "\" (" +
                      why + ")."};
}

Status fileWriteError(int err, const std::string& path) {
    switch (err) {
        case ENOSPC:
        case EDQUOT:
            return {Status::kDiskFull, "Cannot write \"" + path + "\": no space left on the disk."};
        case EFBIG:
            return {Status::kDiskFull,
                    "Cannot write \"" + path + "\": the file grew larger than the disk allows."};
        case EROFS:
        case EACCES:
        case EPERM:
        case ENOENT:
        case ENOTDIR:
        case EISDIR:
            return folderError(err, path);
        default:
            return Status::fail("Cannot write \"" + path + "\": " + reason(err) + ".");
    }
}

Status PartialFile::create(const std::string& targetPath, std::unique_ptr<PartialFile>& out) {
    if (targetPath.empty()) return Status::invalidArg("No output file name was given.");
    std::filesystem::path target(targetPath);
    std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..")
        return Status::invalidArg("\"" + targetPath + "\" names a folder, not a file.");
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec))
        return Status::invalidArg("Cannot write \"" + targetPath +
                                  "\": a folder of that name exists.");

    std::unique_ptr<PartialFile> f(new PartialFile);
    f->target_ = targetPath;
    if (name.size() > kMaxTempNameStem) name.resize(kMaxTempNameStem);
    std::string dir = folderOf(targetPath);
    std::string templ = dir + "/." + name + ".partial-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    f->fd_ = ::mkostemp(buf.data(), O_CLOEXEC);
    if (f->fd_ < 0) return folderError(errno, targetPath);
    f->temp_ = buf.data();
    ::fchmod(f->fd_, 0644);  // mkstemp makes the file private; a video is an ordinary file

    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (buffer)
        f->io_ = avio_alloc_context(buffer, kBufferSize, 1, f.get(), nullptr, &writePacket, &seek);
    if (!f->io_) {
        av_free(buffer);
        return Status::outOfMemory();
    }
    out = std::move(f);
    return Status::ok();
}

PartialFile::~PartialFile() {
    discard();
}

int PartialFile::writePacket(void* opaque, std::uint8_t* buf, int size) {
    auto* f = static_cast<PartialFile*>(opaque);
    int done = 0;
    while (done < size) {
        ssize_t n = ::write(f->fd_, buf + done, static_cast<std::size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int err = n < 0 ? errno : ENOSPC;
            if (!f->firstErrno_) f->firstErrno_ = err;
            return AVERROR(err);
        }
        done += static_cast<int>(n);
    }
    return size;
}

std::int64_t PartialFile::seek(void* opaque, std::int64_t offset, int whence) {
    auto* f = static_cast<PartialFile*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat st {};
        return ::fstat(f->fd_, &st) == 0 ? st.st_size : AVERROR(errno);
    }
    off_t r = ::lseek(f->fd_, offset, whence & ~AVSEEK_FORCE);
    return r < 0 ? AVERROR(errno) : r;
}

Status PartialFile::writeStatus() const {
    if (firstErrno_) return fileWriteError(firstErrno_, target_);
    if (io_ && io_->error < 0)
        return Status::fromAv(io_->error, "Cannot write \"" + target_ + "\"");
    return Status::ok();
}

void PartialFile::closeIo() {
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

Status PartialFile::commit() {
    if (fd_ < 0) return Status::fail("The output file is already closed.");
    avio_flush(io_);
    Status st = writeStatus();
    if (st && ::fsync(fd_) != 0) st = fileWriteError(errno, target_);
    if (st) {
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) st = fileWriteError(errno, target_);
    }
    if (st && ::rename(temp_.c_str(), target_.c_str()) != 0) st = fileWriteError(errno, target_);
    if (!st) {
        discard();
        return st;
    }
    closeIo();
    temp_.clear();
    return st;
}

void PartialFile::discard() {
    closeIo();
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

}  // namespace media
