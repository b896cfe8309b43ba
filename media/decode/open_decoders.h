// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <atomic>

namespace media::decode {

// How many files the engine holds open for decoding right now, and the most it ever held:
// a render opens a source's file just before its span and closes it after, so these stay
// small however many clips a timeline has.
struct OpenDecoders {
    static int now() { return count().load(); }
    static int peak() { return peakCount().load(); }
    static void resetPeak() { peakCount() = count().load(); }

    OpenDecoders() {
        int n = ++count();
        int p = peakCount().load();
        while (n > p && !peakCount().compare_exchange_weak(p, n)) {
        }
    }
    ~OpenDecoders() { --count(); }
    OpenDecoders(const OpenDecoders&) = delete;
    OpenDecoders& operator=(const OpenDecoders&) = delete;

private:
    static std::atomic<int>& count() {
        static std::atomic<int> c{0};
        return c;
    }
    static std::atomic<int>& peakCount() {
        static std::atomic<int> p{0};
        return p;
    }
};

}  // namespace media::decode
