// SPDX-License-Identifier: GPL-3.0-or-later
// The About box's links: their colours as the pointer comes and goes and after a visit, the
// messages of a failed open, and the fall back on the desktop's web browser run by hand.
#include "ui/link_label.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QThread>

#include "platform/html_handler.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "ui/hyperlink.h"

namespace {

// The colour most used by the text's pixels, the background left out.
QColor inkOf(QWidget* w) {
    const QImage image = w->grab().toImage();
    const QColor background = w->palette().color(QPalette::Window);
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background) ++counts[image.pixel(x, y)];
    auto most = std::max_element(counts.begin(), counts.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? QColor() : QColor::fromRgb(most->first);
}

void runFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

// Sets (or with a null value, removes) an environment variable for a test's time.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

class LinkLabelTest : public ::testing::Test {
protected:
    LinkLabelTest() {
        window_.resize(300, 100);
        link_ = new CLinkLabel("Support Email: Click here", &window_);
        link_->setGeometry(10, 10, 250, 20);
        link_->SetURL(QUrl("https://example.org/support/"));
        link_->attach();
        link_->SetUnderline(CLinkLabel::kUnderlineAlways);
        window_.show();
        QCursor::setPos(window_.mapToGlobal(QPoint(290, 90)));
    }
    void click() {
        const QPoint at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, link_->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, link_->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(link_, &press);
        QCoreApplication::sendEvent(link_, &release);
    }

    QDialog window_;
    CLinkLabel* link_;
    testqt::MessageRecorder boxes_;
    testqt::ShellRecorder shell_;
};

}  // namespace

TEST_F(LinkLabelTest, FitsItsTextAndTakesItsColourFromThePointerAndTheVisit) {
    EXPECT_EQ(link_->geometry().topLeft(), QPoint(10, 10));
    EXPECT_LT(link_->width(), 250) << "fitted to its text";
    EXPECT_TRUE(link_->font().underline());
    EXPECT_EQ(link_->toolTip(), "https://example.org/support/");
    EXPECT_EQ(inkOf(link_), QColor(0, 0, 238));

    QCursor::setPos(link_->mapToGlobal(QPoint(5, 5)));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), link_->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(link_, &move);
    EXPECT_EQ(inkOf(link_), QColor(255, 0, 0));
    runFor(250);
    EXPECT_TRUE(link_->isOver()) << "the pointer is still there";
    QCursor::setPos(window_.mapToGlobal(QPoint(290, 90)));
    runFor(250);
    EXPECT_FALSE(link_->isOver()) << "the hover check saw the pointer go";
    EXPECT_TRUE(link_->font().underline()) << "underline mode 1 keeps the underline";

    click();
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0], QUrl("https://example.org/support/"));
    EXPECT_TRUE(link_->visited());
    EXPECT_EQ(inkOf(link_), QColor(85, 26, 139));
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST(LinkLabel, AnEmptyAddressIsTakenFromTheTextAndUnderlinesOnlyUnderThePointer) {
    QWidget window;
    auto* link = new CLinkLabel("https://example.org/", &window);
    link->attach();
    EXPECT_EQ(link->url(), QUrl("https://example.org/"));
    EXPECT_FALSE(link->font().underline());
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(link, &move);
    EXPECT_TRUE(link->font().underline());
}

TEST(HyperlinkFailure, TextsForTheResults) {
    EXPECT_EQ(ui::hyperlinkFailureText(26),
              "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(ui::hyperlinkFailureText(99),
              "Unable to open hyperlink:\n\nUnknown Error (99) occurred.");
    EXPECT_EQ(ui::hyperlinkFailureText(31),
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given "
              "filename extension.");
}

TEST(HtmlHandler, TheCommandIsCutBeforeItsFirstPlaceholder) {
    using platform::commandBeforePlaceholder;
    EXPECT_EQ(commandBeforePlaceholder("firefox %u"), "firefox ");
    EXPECT_EQ(commandBeforePlaceholder("/opt/web/browse --new \"%U\" %f"),
              "/opt/web/browse --new ");
    EXPECT_EQ(commandBeforePlaceholder("browse %F --then \"%u\""), "browse %F --then ")
        << "a quoted placeholder is looked for first";
    EXPECT_EQ(commandBeforePlaceholder("browse --home"), "browse --home");
}

TEST_F(LinkLabelTest, WhenTheDesktopFailsTheDefaultBrowserIsRunWithTheAddress) {
    shell_.result = false;
    // A desktop of the test's own: its default web browser is a script that writes down
    // what it was given.
    const QString home = QString::fromStdString(testmedia::scratchDir("link_handler"));
    const QString apps = home + "/data/applications";
    QDir().mkpath(apps);
    const QString browser = home + "/fake-browser";
    const QString record = home + "/opened.txt";
    QFile::remove(record);
    {
        QFile script(browser);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral(
                "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '%1.part'\nmv '%1.part' '%1'\n")
                .arg(record)
                .toUtf8());
    }
    QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        QFile entry(apps + "/fake-browser.desktop");
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write(
            QStringLiteral(
                "[Desktop Entry]\nType=Application\nName=Fake\nExec=%1 --new-window \"%u\" --x\n")
                .arg(browser)
                .toUtf8());
    }
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    {
        QFile list(QString::fromLocal8Bit(config) + "/mimeapps.list");
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("[Default Applications]\ntext/html=fake-browser.desktop\n");
    }
    // Only the test's desktop is looked at, whatever this machine has installed.
    const QByteArray none = (home + "/none").toLocal8Bit();
    ScopedEnv data("XDG_DATA_HOME", (home + "/data").toLocal8Bit()),
        dataDirs("XDG_DATA_DIRS", none), configDirs("XDG_CONFIG_DIRS", none),
        desktop("XDG_CURRENT_DESKTOP", QByteArray()), session("DESKTOP_SESSION", QByteArray()),
        kde("KDE_FULL_SESSION", QByteArray());

    click();
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(record) && waited.elapsed() < 5000) QThread::msleep(20);
    QFile opened(record);
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly)) << "the browser was not run";
    EXPECT_EQ(opened.readAll(), "--new-window\nhttps://example.org/support/\n");
    EXPECT_TRUE(link_->visited());
    EXPECT_TRUE(boxes_.messages.empty());

    // A browser that is not a program the system can run: the reason is told, the link
    // stays as it was.
    {
        QFile script(browser);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("not a program\n");
    }
    link_->SetVisited(false);
    click();
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, ui::hyperlinkFailureText(11));
    EXPECT_EQ(boxes_.messages[0].icon, ui::Icon::Warning);
    EXPECT_FALSE(link_->visited());

    // No browser known at all: the desktop's own failure stands.
    QFile::remove(QString::fromLocal8Bit(config) + "/mimeapps.list");
    QFile::remove(apps + "/fake-browser.desktop");
    click();
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[1].text, ui::hyperlinkFailureText(31));
}
