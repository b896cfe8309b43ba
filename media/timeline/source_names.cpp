// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "media/timeline/timeline.h"

namespace media {
namespace {

bool readableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), R_OK) == 0;
}

}  // namespace

Status Timeline::validateSourceNames(int flags, const LocateFile& locate) {
    if (!(flags & kValidateCheck)) return Status::ok();
    // One answer per missing name: a clip used in both groups is asked for once.
    std::map<std::string, std::optional<std::string>> answers;
    int stillMissing = 0;
    for (const auto& group : groups_)
        for (const auto& track : group->tracks())
            for (const auto& source : track->sources()) {
                const std::string name = source->mediaName();
                if (readableFile(name)) continue;
                auto found = answers.find(name);
                if (found == answers.end()) {
                    std::optional<std::string> answer;
                    if ((flags & kValidatePopup) && locate) answer = locate(name);
                    if (answer && !readableFile(*answer)) answer.reset();
                    found = answers.emplace(name, answer).first;
                }
                if (found->second && (flags & kValidateReplace) &&
                    source->setMediaName(*found->second))
                    continue;
                ++stillMissing;
            }
    return {stillMissing, ""};
}

}  // namespace media
