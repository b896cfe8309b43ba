// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/clip_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "media/core/input_file.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
}

namespace media {
namespace {

using Clock = std::chrono::steady_clock;
// How often a waiting caller looks at its stop flag: well inside the second a Stop may take.
constexpr std::chrono::milliseconds kSlice{10};

std::atomic<std::int64_t> gStallLimitMs{30'000};

std::mutex& hookMutex() {
    static std::mutex m;
    return m;
}
ReadHook& readHook() {
    static ReadHook hook;
    return hook;
}

void callHook(const std::string& path, bool opening) {
    ReadHook hook;
    {
        std::lock_guard lock(hookMutex());
        hook = readHook();
    }
    if (hook) hook(path, opening);
}

}  // namespace

// What the caller and the reading thread share. The reading thread holds it as long as it
// runs, so a caller that gave up may go away at any time.
struct ClipReader::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::string path;
    bool opened = false;  // the open has been answered
    Status openStatus;
    std::int64_t size = -1;
    bool requested = false;  // a read waits for the reading thread
    bool answered = false;
    std::int64_t offset = 0;
    int wanted = 0;
    std::vector<std::uint8_t> bytes;
    int error = 0;  // an FFmpeg error for the answered read, or 0
    bool quit = false;

    void run() {
        int fd = -1;
        Status status = openFile(fd);
        {
            std::lock_guard lock(mutex);
            opened = true;
            openStatus = status;
        }
        changed.notify_all();
        if (status.failed()) return;
        for (;;) {
            std::int64_t at;
            int count;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return quit || (requested && !answered); });
                if (quit) break;
                at = offset;
                count = wanted;
            }
            callHook(path, false);
            std::vector<std::uint8_t> got(static_cast<std::size_t>(count));
            ssize_t n;
            do n = ::pread(fd, got.data(), got.size(), at);
            while (n < 0 && errno == EINTR);
            {
                std::lock_guard lock(mutex);
                error = n < 0 ? AVERROR(errno) : 0;
                got.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
                bytes = std::move(got);
                answered = true;
            }
            changed.notify_all();
        }
        ::close(fd);
    }

    Status openFile(int& fd) {
        callHook(path, true);
        // Non-blocking, so that a named pipe with no writer is refused instead of waited for.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                return {Status::kFileNotFound, "The file does not exist: " + path};
            return Status::fromAv(AVERROR(errno), "Cannot open " + path);
        }
        struct stat st {};
        Status s = Status::ok();
        if (::fstat(fd, &st) != 0)
            s = Status::fromAv(AVERROR(errno), "Cannot open " + path);
        else if (!S_ISREG(st.st_mode))
            s = {Status::kInvalidArg, "Not a regular file: " + path};
        else if (st.st_size == 0)
            s = {Status::kFail, "The file is empty: " + path};
        if (s.failed()) {
            ::close(fd);
            fd = -1;
            return s;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        std::lock_guard lock(mutex);
        size = st.st_size;
        return s;
    }
};

ClipReader::ClipReader(std::string path, std::shared_ptr<Shared> shared)
    : path_(std::move(path)), shared_(std::move(shared)) {}

Status ClipReader::open(const std::string& path, std::unique_ptr<ClipReader>& out) {
    out.reset();
    auto shared = std::make_shared<Shared>();
    shared->path = path;
    std::unique_ptr<ClipReader> reader(new ClipReader(path, shared));
    // Detached: a thread caught in the kernel cannot be joined, and need not be. It holds
    // what it uses and ends as soon as it is told to, or its read returns.
    std::thread([shared] { shared->run(); }).detach();
    int error = 0;
    if (!reader->await(error)) {
        if (reader->failure_.failed()) return reader->failure_;
        return {Status::kAborted, "Opening " + path + " was stopped."};
    }
    std::lock_guard lock(shared->mutex);
    if (shared->openStatus.failed()) return shared->openStatus;
    out = std::move(reader);
    return Status::ok();
}

ClipReader::~ClipReader() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->quit = true;
    }
    shared_->changed.notify_all();
}

bool ClipReader::await(int& error) {
    const auto asked = Clock::now();
    const auto limit = readStallLimit();
    std::unique_lock lock(shared_->mutex);
    for (;;) {
        const bool done = shared_->requested ? shared_->answered : shared_->opened;
        if (done) {
            error = shared_->error;
            return true;
        }
        // A time budget does not cut a read short: a file that gives nothing is told apart
        // from one that is merely slow, and named as such, by the stall limit alone.
        if (readsCancelled()) break;
        if (Clock::now() - asked >= limit) {
            failure_ = {Status::kFail, stalledText(path_, limit)};
            break;
        }
        shared_->changed.wait_for(lock, kSlice);
    }
    // Given up: the reading thread may still be stuck in the old request, so no new one can
    // be handed to it.
    dead_ = true;
    deadError_ = failure_.failed() ? AVERROR(ETIMEDOUT) : AVERROR_EXIT;
    return false;
}

int ClipReader::read(std::uint8_t* buffer, int size) {
    if (dead_) return deadError_;
    if (size <= 0) return 0;
    // A spent budget starts no new read; the reader stays usable once the budget is gone.
    if (readDeadlinePassed()) return AVERROR_EXIT;
    {
        std::lock_guard lock(shared_->mutex);
        if (position_ >= shared_->size) return AVERROR_EOF;
        shared_->requested = true;
        shared_->answered = false;
        shared_->offset = position_;
        shared_->wanted = size;
    }
    shared_->changed.notify_all();
    int error = 0;
    if (!await(error)) return deadError_;
    std::lock_guard lock(shared_->mutex);
    shared_->requested = false;
    if (error < 0) return error;
    const int n = static_cast<int>(shared_->bytes.size());
    if (n == 0) return AVERROR_EOF;
    std::memcpy(buffer, shared_->bytes.data(), static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t ClipReader::seek(std::int64_t offset, int whence) {
    std::int64_t size;
    {
        std::lock_guard lock(shared_->mutex);
        size = shared_->size;
    }
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return size;
        case SEEK_SET: break;
        case SEEK_CUR: offset += position_; break;
        case SEEK_END: offset += size; break;
        default: return AVERROR(EINVAL);
    }
    if (offset < 0) return AVERROR(EINVAL);
    position_ = offset;
    return position_;
}

Status readSmallFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    out.clear();
    std::unique_ptr<ClipReader> reader;
    if (Status s = ClipReader::open(path, reader); s.failed()) return s;
    // One byte more than allowed tells a file that is too long from one that fits exactly.
    std::string bytes;
    std::uint8_t chunk[64 * 1024];
    while (bytes.size() <= maxBytes) {
        const int n = reader->read(chunk, sizeof chunk);
        if (n == AVERROR_EOF || n == 0) break;
        if (n < 0) {
            if (reader->failure().failed()) return reader->failure();
            if (n == AVERROR_EXIT) return {Status::kFail, "Reading " + path + " took too long"};
            return Status::fromAv(n, "Cannot read " + path);
        }
        bytes.append(reinterpret_cast<const char*>(chunk), static_cast<std::size_t>(n));
    }
    if (bytes.size() > maxBytes)
        return {kFileTooLarge,
                "The file is larger than " + std::to_string(maxBytes) + " bytes: " + path};
    out = std::move(bytes);
    return Status::ok();
}

FileKind lookAtFile(const std::string& path) {
    struct Answer {
        std::mutex mutex;
        std::condition_variable given;
        bool done = false;
        FileKind kind = FileKind::NoAnswer;
    };
    auto answer = std::make_shared<Answer>();
    // Detached for the reason the reading threads are: a stat caught in the kernel cannot
    // be joined.
    std::thread([answer, path] {
        struct stat st {};
        FileKind kind;
        if (::stat(path.c_str(), &st) != 0)
            kind = errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Unreadable;
        else
            kind = S_ISDIR(st.st_mode)   ? FileKind::Folder
                   : S_ISREG(st.st_mode) ? FileKind::Regular
                                         : FileKind::Other;
        {
            std::lock_guard lock(answer->mutex);
            answer->kind = kind;
            answer->done = true;
        }
        answer->given.notify_all();
    }).detach();
    const auto asked = Clock::now();
    const auto limit = readStallLimit();
    std::unique_lock lock(answer->mutex);
    while (!answer->done) {
        if (readsShouldStop() || Clock::now() - asked >= limit) return FileKind::NoAnswer;
        answer->given.wait_for(lock, kSlice);
    }
    return answer->kind;
}

void setReadStallLimit(std::chrono::milliseconds limit) {
    gStallLimitMs = std::max<std::int64_t>(1, limit.count());
}

std::chrono::milliseconds readStallLimit() {
    return std::chrono::milliseconds(gStallLimitMs.load());
}

std::string stalledText(const std::string& path, std::chrono::milliseconds limit) {
    char seconds[32];
    if (limit.count() % 1000 == 0)
        std::snprintf(seconds, sizeof seconds, "%lld", static_cast<long long>(limit.count() / 1000));
    else
        std::snprintf(seconds, sizeof seconds, "%.1f", limit.count() / 1000.0);
    return path + " gave no data for " + seconds + (limit.count() == 1000 ? " second." : " seconds.");
}

ReadHook setReadHook(ReadHook hook) {
    std::lock_guard lock(hookMutex());
    ReadHook previous = std::move(readHook());
    readHook() = std::move(hook);
    return previous;
}

}  // namespace media
