// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project: the ordered clips that Join and Preview put one after another, each with the
// transition that leads into it, and the audio sources that mirror them. Two fixed tables
// with no allocation per clip; a path that does not fit its field is refused, never cut.
#include "media/core/ticks.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Room for a path of 259 bytes of UTF-8 and its terminator.
inline constexpr std::size_t kClipPathCapacity = 260;
inline constexpr std::size_t kMaxClipPathBytes = kClipPathCapacity - 1;
inline constexpr int kMaxClips = 1000;

// A path in a fixed field, always terminated.
class ClipPath {
public:
    // False (and unchanged) when `path` is longer than kMaxClipPathBytes or holds a zero byte.
    bool assign(std::string_view path);
    std::string_view view() const { return {chars_.data(), length_}; }
    std::string str() const { return std::string(view()); }
    bool empty() const { return length_ == 0; }

private:
    std::array<char, kClipPathCapacity> chars_{};
    std::size_t length_ = 0;
};

// How far the program trusts a clip's entry. A clip read back from the kept list is
// measured again before a job may use it; one whose file did not answer in time stays in
// the list, and Join and Preview refuse it until it is added again.
enum class ClipState : std::uint8_t { Measured, Measuring, NotAnswering };

struct ClipItem {
    ClipPath fileName;
    media::Ticks duration = 0;
    std::int32_t transitionIndex = 0;       // 0..46, 0 is "None"
    media::Ticks transitionDuration = 0;    // whole seconds
    ClipState state = ClipState::Measured;
    // What the measurement found; a clip entered without one counts as having a picture.
    bool hasPicture = true;
};

struct AudioSource {
    ClipPath fileName;
    media::Ticks duration = 0;
};

enum class ClipListResult { Ok, Full, PathTooLong };

// The message a user sees when a clip cannot be added (empty for Ok).
std::string clipListResultText(ClipListResult result, std::string_view path);

class ClipList {
public:
    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    bool full() const { return count_ >= kMaxClips; }

    // Entries 0..count-1 are valid.
    const ClipItem& at(int index) const { return clips_[static_cast<std::size_t>(index)]; }
    ClipItem& at(int index) { return clips_[static_cast<std::size_t>(index)]; }

    // Appends a measured clip at index count. Refused when the list is full or the path too long.
    ClipListResult append(std::string_view path, media::Ticks duration, std::int32_t transitionIndex,
                          media::Ticks transitionDuration);
    // Every later entry moves up one place. Out-of-range indices are ignored.
    void remove(int index);
    // Swaps the neighbouring entries index and index + 1 (every field).
    void swapWithNext(int index);
    void clear() { count_ = 0; }

    // The audio track's list: after rebuild it has the clips' count, file names and durations.
    // Every edit ends with this rebuild, so it then tells the edited handler.
    void rebuildAudioSources();
    // Called after each edit; the window keeps the list on disk with it.
    void setEditedHandler(std::function<void()> handler) { edited_ = std::move(handler); }
    int audioSourceCount() const { return audioCount_; }
    // L, the length of the joined video, as the last timeline build found it.
    media::Ticks totalLength() const { return totalLength_; }
    void setTotalLength(media::Ticks length) { totalLength_ = length; }
    const AudioSource& audioSource(int index) const { return audio_[static_cast<std::size_t>(index)]; }
    AudioSource& audioSource(int index) { return audio_[static_cast<std::size_t>(index)]; }

private:
    std::array<ClipItem, kMaxClips> clips_{};
    int count_ = 0;
    std::array<AudioSource, kMaxClips> audio_{};
    int audioCount_ = 0;
    media::Ticks totalLength_ = 0;
    std::function<void()> edited_;
};

// The name a list row shows for a path: its last component, name and extension.
std::string clipDisplayName(std::string_view path);
