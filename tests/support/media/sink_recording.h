// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the test sound server's null sink really played, recorded from its monitor in real
// time (one sample of the recording per sample the sink played), and the stretches of
// sound and silence in it. The sink's own clock is the wall clock, so positions in the
// recording are the times at which the sound was heard.
#include <sys/types.h>

#include <string>
#include <vector>

namespace testmedia {

class SinkRecording {
public:
    static constexpr int kRate = 48000;

    // Starts recording the null sink of the server that PULSE_SERVER names.
    SinkRecording();
    ~SinkRecording();
    SinkRecording(const SinkRecording&) = delete;
    SinkRecording& operator=(const SinkRecording&) = delete;

    bool running() const { return pid_ > 0; }
    // Ends the recording; the mono samples recorded.
    std::vector<float> stop();

private:
    pid_t pid_ = -1;
    std::string file_;
};

struct SoundSpan {
    double start = 0, end = 0;  // seconds from the recording's start
    double length() const { return end - start; }
};

// The stretches of sound: runs of samples above `floor`, split wherever quieter samples
// last `minGapSeconds` or more. A tone's own zero crossings are far shorter than that.
std::vector<SoundSpan> soundSpans(const std::vector<float>& samples, int rate,
                                  double minGapSeconds = 0.001, float floor = 0.004f);

}  // namespace testmedia
