// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/compressor_trial_mode.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "media/writers/compressor_trial_request.h"

namespace {

// Tests name an encoder here to get a trial that never answers, as a hung encoder would.
constexpr const char* kNeverAnswersVariable = "CLIPFUSE_TEST_TRIAL_NEVER_ANSWERS";

}  // namespace

bool isCompressorTrialMode(int argc, char** argv) {
    return argc >= 2 && std::strcmp(argv[1], media::kTrialModeSwitch) == 0;
}

int runCompressorTrialMode(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    const auto request = media::parseTrialArguments(arguments);
    if (!request) {
        std::fputs("The compressor trial was asked with arguments it does not understand.\n",
                   stderr);
        return 2;
    }
    if (const char* hung = std::getenv(kNeverAnswersVariable);
        hung && request->device.encoder == hung)
        for (;;) ::pause();
    const auto compressor = media::requestedCompressor(*request);
    const std::string refusal = compressor ? media::compressorRefusal(*compressor, request->output)
                                           : "The compressor is not installed.";
    const std::string line = media::trialAnswerLine(refusal);
    std::fwrite(line.data(), 1, line.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
