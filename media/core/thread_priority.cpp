// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace media {
namespace {

constexpr int kStep = 5;

}  // namespace

void lowerThisThreadPriority() {
#ifdef __linux__
    // On Linux the nice value belongs to each thread: PRIO_PROCESS with a thread id.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, tid);
    if (errno != 0) return;
    setpriority(PRIO_PROCESS, tid, current + kStep);
#endif
}

}  // namespace media
