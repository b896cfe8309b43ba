// SPDX-License-Identifier: GPL-3.0-or-later
// The preview player's window on a real X server, the program started as a user starts
// it (its own start-up, the main window run modally) and clicked through the X server:
// whatever would keep a user's clicks or close requests from the player keeps the test's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <filesystem>
#include <sstream>

#include "app/application.h"
#include "support/media/test_media.h"
#include "support/qt/preview_window.h"
#include "virtual_display.h"

namespace testx11 {
extern VirtualDisplay* display;
}

namespace {

using testqt::kSecond;
using testqt::runUntil;
using testx11::runOnDisplay;

std::string clip() {
    static const std::string made = [] {
        testmedia::ClipSpec recipe = testqt::smallClip(8.0);
        recipe.width = 320;
        recipe.height = 180;
        return testqt::madeClip(testmedia::scratchDir("x11-clips"), "clip.mp4", recipe);
    }();
    return made;
}

// A click through the X server, at a point of the screen.
void click(QPoint global, int button) {
    std::ostringstream cmd;
    cmd << "xdotool mousemove --sync " << global.x() << " " << global.y() << " click " << button;
    runOnDisplay(cmd.str());
}

std::string windowId(const QWidget* w) {
    std::ostringstream id;
    id << "0x" << std::hex << w->winId();
    return id.str();
}

QMenu* openMenu() {
    QMenu* menu = nullptr;
    runUntil([&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
             3000);
    return menu;
}

QAction* item(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

// Clicks a menu's item through the X server.
void choose(QMenu* menu, const QString& text) {
    QAction* a = item(menu, text);
    ASSERT_TRUE(a) << text.toStdString();
    click(menu->mapToGlobal(menu->actionGeometry(a).center()), 1);
}

// Runs `script` inside the program's own modal loop, the program started with `files` as
// from the command line; the script ends with the main window closed.
void runProgram(const QStringList& files, const std::function<void(CSlidemintDlg&)>& script) {
    // Each run starts as a first run does, without the list an earlier one kept.
    std::error_code ec;
    for (const auto& e :
         std::filesystem::recursive_directory_iterator(std::getenv("XDG_CONFIG_HOME"), ec))
        if (e.path().string().ends_with(".cliplist.json")) std::filesystem::remove(e.path(), ec);
    testqt::MessageRecorder boxes;  // a box would wait for a person
    CSlidemintApp app;
    app.setFilesToOpen(files);
    QTimer::singleShot(0, [&] {
        CSlidemintDlg* window = nullptr;
        runUntil([&] {
            return (window = qobject_cast<CSlidemintDlg*>(QApplication::activeModalWidget()));
        });
        if (!window) {
            ADD_FAILURE() << "the main window did not open modally";
            QApplication::exit(1);
            return;
        }
        script(*window);
        for (const ui::Message& m : boxes.messages) ADD_FAILURE() << m.text.toStdString();
        if (window->jobState().previewing())
            qobject_cast<QAbstractButton*>(window->control(ids::kPreview))->click();
        window->reject();
    });
    app.run();
}

void pressPreview(CSlidemintDlg& window) {
    QWidget* button = window.control(ids::kPreview);
    click(button->mapToGlobal(button->rect().center()), 1);
    runUntil([&] { return window.jobState().previewing(); }, 5000);
}

}  // namespace

TEST(PlayerWindowOnX11, TheRightClickMenuWorksAndTheWindowStaysOnScreenAboveTheMainWindow) {
    ASSERT_FALSE(clip().empty());
    const QString file = QString::fromStdString(clip());
    runProgram({file, file}, [](CSlidemintDlg& window) {
        ASSERT_TRUE(runUntil([&] { return window.clips().count() == 2; }));
        // A picture as large as the screen is wide: it cannot be shown at its own size.
        OutputOptions& o = window.outputOptions();
        o.outputWidth = 1280;
        o.outputHeight = 720;
        o.frameRate = 10;
        o.resizeMode = 2;
        pressPreview(window);
        ASSERT_TRUE(window.jobState().previewing());
        CVcdCore* player = window.preview()->player();
        QWidget* w = player->window();
        ASSERT_TRUE(w && w->isVisible());
        testqt::runFor(800);  // framed by the window manager, and placed again if need be

        // The whole window, frame and caption included, lies on the work area; the picture
        // keeps its shape.
        const QRect work = w->screen()->availableGeometry();
        EXPECT_TRUE(work.contains(w->frameGeometry()))
            << "frame " << w->frameGeometry().x() << "," << w->frameGeometry().y() << " "
            << w->frameGeometry().width() << "x" << w->frameGeometry().height();
        EXPECT_NEAR(static_cast<double>(w->width()) / w->height(), 16.0 / 9.0, 0.01);
        if (testx11::display->hasWindowManager()) {
            EXPECT_GT(w->frameGeometry().height(), w->height()) << "no caption: not framed";
            EXPECT_LT(w->width(), 1280) << "with its caption it would not fit";
            // The desktop keeps the player above the main window.
            const std::string stacking = runOnDisplay("xprop -root _NET_CLIENT_LIST_STACKING");
            const auto player_at = stacking.find(windowId(w));
            const auto main_at = stacking.find(windowId(&window));
            ASSERT_NE(player_at, std::string::npos) << stacking;
            ASSERT_NE(main_at, std::string::npos) << stacking;
            EXPECT_GT(player_at, main_at) << "the main window lies over the picture";
        }

        // A right click on the picture opens the menu; Pause, then Play, chosen there.
        click(w->mapToGlobal(w->rect().center()), 3);
        QMenu* menu = openMenu();
        ASSERT_TRUE(menu) << "no menu on a right click";
        EXPECT_FALSE(item(menu, "Play")->isEnabled());
        EXPECT_TRUE(item(menu, "Pause")->isEnabled());
        choose(menu, "Pause");
        ASSERT_TRUE(runUntil([&] { return player->state() == PlayerState::Paused; }, 3000));
        click(w->mapToGlobal(w->rect().center() + QPoint(20, 20)), 3);
        menu = openMenu();
        ASSERT_TRUE(menu) << "no menu on the second right click";
        EXPECT_FALSE(item(menu, "Pause")->isEnabled());
        choose(menu, "Play");
        EXPECT_TRUE(runUntil([&] { return player->state() == PlayerState::Running; }, 3000));
    });
}

TEST(PlayerWindowOnX11, TheCloseBoxStopsThePreviewAsThePreviewButtonDoes) {
    if (!testx11::display->hasWindowManager())
        GTEST_SKIP() << "close requests come from a window manager; this run has none";
    ASSERT_FALSE(clip().empty());
    const QString file = QString::fromStdString(clip());
    runProgram({file}, [](CSlidemintDlg& window) {
        ASSERT_TRUE(runUntil([&] { return window.clips().count() == 1; }));
        OutputOptions& o = window.outputOptions();
        o.outputWidth = 320;
        o.outputHeight = 180;
        o.frameRate = 10;
        pressPreview(window);
        ASSERT_TRUE(window.jobState().previewing());
        QWidget* w = window.preview()->player()->window();
        ASSERT_TRUE(w);
        testqt::runFor(300);
        // The close box's request, as the window manager sends it.
        runOnDisplay("wmctrl -i -c " + windowId(w));
        EXPECT_TRUE(runUntil([&] { return !window.jobState().previewing(); }, 3000))
            << "the preview goes on after its window was closed";
        EXPECT_EQ(window.preview(), nullptr);
    });
}
