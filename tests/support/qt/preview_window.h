// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main window as the preview tests drive it: clips added to its list, buttons pressed,
// and the preview's player and graph at hand.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdlib>
#include <memory>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "media/probe/probe_clip.h"
#include "output/engine_preview_graph.h"
#include "output/vcd_core.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "support/qt/run_until.h"
#include "timeline/preview_renderer.h"

namespace testqt {

inline constexpr media::Ticks kSecond = 10'000'000;

// A small clip for a preview (160x120, 10 pictures a second, a tone), `seconds` long.
inline testmedia::ClipSpec smallClip(double seconds) {
    testmedia::ClipSpec recipe;
    recipe.width = 160;
    recipe.height = 120;
    recipe.frameRate = "10";
    recipe.seconds = seconds;
    return recipe;
}

// Makes the clip `name` in the folder `dir`; its path, or empty when it failed.
inline std::string madeClip(const std::string& dir, const std::string& name,
                            const testmedia::ClipSpec& recipe) {
    const std::string path = dir + "/" + name;
    return testmedia::makeClip(path, recipe) ? path : std::string();
}

// Runs the events of the program for `ms` milliseconds.
inline void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    runUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

class PreviewWindowTest : public ::testing::Test {
protected:
    explicit PreviewWindowTest(const char* settingsName = "preview_test")
        : store_("KORVANE", settingsName) {
        QFile::remove(store_.filePath());
        window_ = std::make_unique<CSlidemintDlg>(store_, "english");
        window_->initialise();
        OutputOptions& o = window_->outputOptions();
        o.outputWidth = 160;
        o.outputHeight = 120;
        o.frameRate = 10;
        o.resizeMode = 2;
    }
    ~PreviewWindowTest() override { window_.reset(); }

    void add(const std::string& path, media::Ticks duration, int transition = 0,
             media::Ticks transitionLength = 0) {
        window_->clips().append(path, duration, transition, transitionLength);
        // What measuring finds when a clip is added; the preview's start takes it from there.
        window_->clips().at(window_->clips().count() - 1).hasPicture =
            media::probeClip(path).video.has_value();
        window_->clips().rebuildAudioSources();
    }

    void press(int id) { qobject_cast<QAbstractButton*>(window_->control(id))->click(); }
    QString buttonText(int id) {
        return qobject_cast<QAbstractButton*>(window_->control(id))->text();
    }
    std::string lastMessage() const {
        return boxes_.messages.empty() ? "" : boxes_.messages.back().text.toStdString();
    }

    CVcdCore* player() { return window_->preview() ? window_->preview()->player() : nullptr; }
    EnginePreviewGraph* graph() {
        return window_->preview() ? window_->preview()->graph() : nullptr;
    }

    SettingsStore store_;
    MessageRecorder boxes_;
    std::unique_ptr<CSlidemintDlg> window_;
};

}  // namespace testqt
