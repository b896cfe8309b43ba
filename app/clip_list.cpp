// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clip_list.h"

#include <algorithm>
#include <cstring>
#include <utility>

bool ClipPath::assign(std::string_view path) {
    if (path.size() > kMaxClipPathBytes || path.find('\0') != std::string_view::npos) return false;
    std::memcpy(chars_.data(), path.data(), path.size());
    chars_[path.size()] = '\0';
    length_ = path.size();
    return true;
}

std::string clipListResultText(ClipListResult result, std::string_view path) {
    switch (result) {
        case ClipListResult::Ok: return {};
        case ClipListResult::Full:
            return "The list already holds " + std::to_string(kMaxClips) + " clips. " + std::string(path) +
                   " was not added.";
        case ClipListResult::PathTooLong:
            return "The path of the file is too long (more than " + std::to_string(kMaxClipPathBytes) +
                   " bytes), so it was not added: " + std::string(path);
    }
    return {};
}

ClipListResult ClipList::append(std::string_view path, media::Ticks duration, std::int32_t transitionIndex,
                                media::Ticks transitionDuration) {
    if (full()) return ClipListResult::Full;
    ClipItem& item = clips_[static_cast<std::size_t>(count_)];
    if (!item.fileName.assign(path)) return ClipListResult::PathTooLong;
    item.duration = duration;
    item.transitionIndex = transitionIndex;
    item.transitionDuration = transitionDuration;
    item.state = ClipState::Measured;
    item.hasPicture = true;
    ++count_;
    return ClipListResult::Ok;
}

void ClipList::remove(int index) {
    if (index < 0 || index >= count_) return;
    std::move(clips_.begin() + index + 1, clips_.begin() + count_, clips_.begin() + index);
    --count_;
}

void ClipList::swapWithNext(int index) {
    if (index < 0 || index + 1 >= count_) return;
    std::swap(clips_[static_cast<std::size_t>(index)], clips_[static_cast<std::size_t>(index) + 1]);
}

void ClipList::rebuildAudioSources() {
    for (int i = 0; i < count_; ++i) {
        const ClipItem& clip = clips_[static_cast<std::size_t>(i)];
        AudioSource& source = audio_[static_cast<std::size_t>(i)];
        source.fileName = clip.fileName;
        source.duration = clip.duration;
    }
    audioCount_ = count_;
    if (edited_) edited_();
}

std::string clipDisplayName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}
