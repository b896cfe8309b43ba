#pragma once
// One test sound server for a whole test program: the sound system is set up once per
// process, so the server must be there before the first test touches it. A test file
// registers it with
//   [[maybe_unused]] auto* const soundServer =
//       ::testing::AddGlobalTestEnvironment(new testmedia::SoundServerEnvironment);
#include <gtest/gtest.h>

#include <memory>

#include "support/media/sound_server.h"

namespace testmedia {

class SoundServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override { server = std::make_unique<SoundServer>(); }
    void TearDown() override { server.reset(); }
    static inline std::unique_ptr<SoundServer> server;
};

}  // namespace testmedia
