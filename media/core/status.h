// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>
#include <utility>

namespace media {

// The result of an engine operation. Codes follow the media platform's convention the
// program was designed around: negative is a failure, 0 and positive are success. A
// failure carries the text that a user is shown for it.
class Status {
public:
    static constexpr std::int32_t kOk = 0;
    static constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005);         // E_FAIL
    static constexpr std::int32_t kInvalidArg = static_cast<std::int32_t>(0x80070057);   // E_INVALIDARG
    static constexpr std::int32_t kOutOfMemory = static_cast<std::int32_t>(0x8007000E);  // E_OUTOFMEMORY
    static constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001);
    static constexpr std::int32_t kUnexpected = static_cast<std::int32_t>(0x8000FFFF);
    static constexpr std::int32_t kFileNotFound = static_cast<std::int32_t>(0x80070002);
    static constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005);
    static constexpr std::int32_t kDiskFull = static_cast<std::int32_t>(0x80070070);
    static constexpr std::int32_t kAborted = static_cast<std::int32_t>(0x80004004);  // E_ABORT

    Status() = default;
    Status(std::int32_t code, std::string text) : code_(code), text_(std::move(text)) {}

    static Status ok() { return {}; }
    static Status fail(std::string text) { return {kFail, std::move(text)}; }
    static Status invalidArg(std::string text) { return {kInvalidArg, std::move(text)}; }
    static Status outOfMemory(std::string text = "Out of memory.") { return {kOutOfMemory, std::move(text)}; }
    // A status from an FFmpeg error code (AVERROR), with FFmpeg's own text after `what`.
    static Status fromAv(int averror, const std::string& what);

    bool isOk() const { return code_ >= 0; }
    bool failed() const { return code_ < 0; }
    explicit operator bool() const { return isOk(); }
    std::int32_t code() const { return code_; }
    const std::string& text() const { return text_; }

private:
    std::int32_t code_ = kOk;
    std::string text_;
};

}  // namespace media
