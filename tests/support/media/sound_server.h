// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sound server of the test's own: PulseAudio with a null sink (nothing is heard, but the
// sound is played in real time), in a private folder so that it never meets another test's
// or the user's server. The process's clients are pointed at it through PULSE_SERVER.
// It needs no desktop, no session bus and no user but the one running the tests.
#include <sys/types.h>

#include <string>

namespace testmedia {

// True when the run says every test that needs a sound server must have one
// (CLIPFUSE_TEST_SOUND_REQUIRED=1, as the setup script's test run sets it): a server
// that does not start is then a failure, not a reason to skip.
bool soundServerRequired();

class SoundServer {
public:
    // Starts the server and waits for it to answer; running() tells whether it did.
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool running() const { return pid_ > 0; }
    // Ends the server at once, as a crash would: its clients lose their sound.
    void kill();
    const std::string& why() const { return why_; }

private:
    pid_t pid_ = -1;
    std::string dir_;
    std::string why_;
};

}  // namespace testmedia
