// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media/sink_recording.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include "support/media/test_media.h"

namespace testmedia {

SinkRecording::SinkRecording() {
    file_ = scratchDir("sink-recording-" + std::to_string(::getpid())) + "/sink.f32";
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int out = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = ::open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execlp("parec", "parec", "--device=null.monitor", "--raw", "--format=float32le",
               ("--rate=" + std::to_string(kRate)).c_str(), "--channels=1", "--latency-msec=10",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0) return;
    pid_ = pid;
    // Recording starts once the stream is connected; give it that moment.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
}

SinkRecording::~SinkRecording() {
    stop();
}

std::vector<float> SinkRecording::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGINT);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    std::vector<float> samples;
    std::ifstream in(file_, std::ios::binary);
    float v = 0;
    while (in.read(reinterpret_cast<char*>(&v), sizeof v)) samples.push_back(v);
    return samples;
}

std::vector<SoundSpan> soundSpans(const std::vector<float>& samples, int rate, double minGapSeconds,
                                  float floor) {
    const auto minGap = static_cast<std::size_t>(std::ceil(minGapSeconds * rate));
    std::vector<SoundSpan> spans;
    std::size_t quiet = 0;
    bool inSound = false;
    std::size_t start = 0, lastLoud = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) > floor) {
            if (!inSound) {
                inSound = true;
                start = i;
            }
            lastLoud = i;
            quiet = 0;
        } else if (inSound && ++quiet >= minGap) {
            spans.push_back(
                {static_cast<double>(start) / rate, static_cast<double>(lastLoud + 1) / rate});
            inSound = false;
        }
    }
    if (inSound)
        spans.push_back(
            {static_cast<double>(start) / rate, static_cast<double>(lastLoud + 1) / rate});
    return spans;
}

}  // namespace testmedia
