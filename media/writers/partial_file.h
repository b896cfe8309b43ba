// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An output file that becomes the target only when it is complete. It is written under a
// hidden temporary name in the target's own folder (so the final rename is atomic and never
// crosses a disk) and renamed over the target by commit(); anything else removes it. The
// I/O is our own AVIOContext on the file descriptor, so every failing write keeps its
// errno and the user learns why ("no space left on the disk", "cannot write in the folder").
#include <memory>
#include <string>

#include "media/core/status.h"

struct AVIOContext;

namespace media {

class PartialFile {
public:
    static Status create(const std::string& targetPath, std::unique_ptr<PartialFile>& out);
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    AVIOContext* io() const { return io_; }
    const std::string& tempPath() const { return temp_; }
    const std::string& targetPath() const { return target_; }
    // The first write error seen, as a status naming the target; ok while none happened.
    Status writeStatus() const;

    // Flushes, makes the data durable, closes and renames over the target.
    Status commit();
    // Closes and removes the temporary file; the target is left as it was.
    void discard();

private:
    PartialFile() = default;
    static int writePacket(void* opaque, std::uint8_t* buf, int size);
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence);
    void closeIo();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int firstErrno_ = 0;
    AVIOContext* io_ = nullptr;
};

// The user's text for a failed file operation on `path` (errno `err`).
Status fileWriteError(int err, const std::string& path);
Status folderError(int err, const std::string& path);

}  // namespace media
