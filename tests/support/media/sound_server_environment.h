// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One test sound server for a whole test program: the sound system is set up once per
// process, so the server must be there before the first test touches it. A test file
// registers it with
//   [[maybe_unused]] auto* const soundServer =
//       ::testing::AddGlobalTestEnvironment(new testmedia::SoundServerEnvironment);
// and a test that needs it starts with CLIPFUSE_NEED_SOUND_SERVER().
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/media/sound_server.h"

namespace testmedia {

class SoundServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        server = std::make_unique<SoundServer>();
        // Where a server is required, the program fails even when no test asks for it.
        if (!server->running() && soundServerRequired())
            ADD_FAILURE() << "No sound server, though this run requires one: " << server->why();
    }
    void TearDown() override { server.reset(); }
    static inline std::unique_ptr<SoundServer> server;
};

}  // namespace testmedia

// The first line of a test that needs the sound server: without one the test is skipped,
// or fails where the run requires a server (see soundServerRequired).
#define CLIPFUSE_NEED_SOUND_SERVER()                                                       \
    do {                                                                                   \
        const auto& soundServer_ = ::testmedia::SoundServerEnvironment::server;            \
        if (!soundServer_ || !soundServer_->running()) {                                   \
            const std::string why_ = soundServer_ ? soundServer_->why() : "not started";   \
            if (::testmedia::soundServerRequired()) FAIL() << "No sound server: " << why_; \
            GTEST_SKIP() << why_;                                                          \
        }                                                                                  \
    } while (false)
