// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace media {

// Lowers the scheduling priority of the calling thread a little (a higher nice value), so
// that the other threads of the program win when the processor is short. Threads it
// starts afterwards inherit it. Best effort: nothing happens where the system refuses.
void lowerThisThreadPriority();

}  // namespace media
