// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/output_run.h"

namespace timeline {

OutputRun::~OutputRun() {
    abandon();
}

media::Status OutputRun::getEvent(media::render::EngineEvent& out, int timeoutMs) {
    if (!engine_) return {media::Status::kAborted, "The render has ended."};
    return engine_->getEvent(out, timeoutMs);
}

media::Status OutputRun::stop() {
    media::Status s = media::Status::ok();
    if (output_) {
        s = output_->stop();
        copyReport_ = output_->copyReport();
    }
    release();
    return s;
}

void OutputRun::abandon() {
    if (output_) output_->abandon();
    release();
}

void OutputRun::release() {
    if (engine_) {
        engine_->stop();
        engine_->setNotify(nullptr);
    }
    output_.reset();
    if (engine_) engine_->scrapIt();
    engine_.reset();
    timeline_.reset();
}

}  // namespace timeline
