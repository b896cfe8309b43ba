// SPDX-License-Identifier: GPL-3.0-or-later
// The default transition dialog and the clip property dialog, driven through their controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/integer_field.h"
#include "app/photo_property_dialog.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "app/transition_settings_dialog.h"
#include "platform/file_dialogs.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"

namespace {

template <typename Control, typename Dialog>
Control* find(const Dialog& dialog, int id) {
    auto* control = qobject_cast<Control*>(dialog.control(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

void expectOneBox(testqt::MessageRecorder& boxes, const QString& text) {
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, text);
    EXPECT_EQ(boxes.messages[0].caption, "test_app");
    EXPECT_EQ(boxes.messages[0].buttons, ui::Buttons::Ok);
    boxes.messages.clear();
}

class FakeFileDialogs : public platform::FileDialogs {
public:
    FakeFileDialogs() { previous_ = platform::setFileDialogs(this); }
    ~FakeFileDialogs() override { platform::setFileDialogs(previous_); }
    QStringList getOpenFileNames(const platform::FileDialogRequest&) override { return {}; }
    QString getOpenFileName(const platform::FileDialogRequest& r) override {
        requests.push_back(r);
        return answer;
    }
    QString getSaveFileName(const platform::FileDialogRequest&) override { return {}; }

    QString answer;
    std::vector<platform::FileDialogRequest> requests;

private:
    platform::FileDialogs* previous_;
};

class TransitionSettingsTest : public ::testing::Test {
protected:
    TransitionSettingsTest() : store_("KORVANE", "transition_settings_test") {
        QFile::remove(store_.filePath());
    }

    std::unique_ptr<CTransitionSettings> open(TransitionDefaults current) {
        auto dialog = std::make_unique<CTransitionSettings>(store_, current, nullptr);
        dialog->show();
        return dialog;
    }
    void typeDuration(CTransitionSettings& d, const QString& text) {
        find<QLineEdit>(d, CTransitionSettings::kDurationEdit)->setText(text);
    }
    void pressOk(CTransitionSettings& d) {
        find<QPushButton>(d, CTransitionSettings::kOkButton)->click();
    }
    bool anythingStored() const {
        using namespace settings;
        return store_.contains(kTransitionSettings, kTransitionDuration) ||
               store_.contains(kTransitionSettings, kTransitionType) ||
               store_.contains(kTransitionSettings, kTransitionName);
    }

    SettingsStore store_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST(IntegerField, ReadsAsTheDialogFrameworkDoes) {
    EXPECT_EQ(readIntegerField("600", 0, 600).value, 600);
    EXPECT_EQ(readIntegerField("  7 ", 0, 600).value, 7);
    EXPECT_EQ(readIntegerField("+0", 0, 600).value, 0);
    for (const char* notInteger : {"", " ", "abc", "1.5", "12a", "- 3", "+", "1 2", "٣"}) {
        const IntegerFieldRead read = readIntegerField(notInteger, 0, 600);
        EXPECT_FALSE(read.value) << notInteger;
        EXPECT_EQ(read.message, "Enter an integer.") << notInteger;
    }
    for (const char* outside : {"601", "-1", "99999999999999999999999"}) {
        const IntegerFieldRead read = readIntegerField(outside, 0, 600);
        EXPECT_FALSE(read.value) << outside;
        EXPECT_EQ(read.message, "Enter an integer between 0 and 600.") << outside;
    }
}

TEST_F(TransitionSettingsTest, OpensOnTheDefaultsWithEveryControl) {
    auto d = open({12, TransitionMode::Sequence, 23});
    EXPECT_EQ(d->windowTitle(), "Customize the default transition");
    EXPECT_EQ(d->property("controlId").toInt(), 130);
    EXPECT_EQ(find<QLabel>(*d, 1074)->text(), "Default transition duration:");
    EXPECT_EQ(find<QLabel>(*d, 1075)->text(), "Seconds");
    QLineEdit* duration = find<QLineEdit>(*d, CTransitionSettings::kDurationEdit);
    EXPECT_EQ(duration->text(), "12");
    EXPECT_EQ(duration->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_TRUE(find<QRadioButton>(*d, CTransitionSettings::kSequenceButton)->isChecked());
    EXPECT_FALSE(find<QRadioButton>(*d, CTransitionSettings::kRandomButton)->isChecked());
    QComboBox* list = find<QComboBox>(*d, CTransitionSettings::kEffectList);
    ASSERT_EQ(list->count(), 47);
    EXPECT_EQ(list->currentIndex(), 23);
    EXPECT_EQ(list->itemText(0), "None");
    EXPECT_EQ(list->itemText(23), "left/right");  // the menu name, not the clip list's
    EXPECT_EQ(list->itemText(46), "Matrix, horizontal");
    EXPECT_TRUE(find<QPushButton>(*d, CTransitionSettings::kOkButton)->isDefault());
    EXPECT_EQ(find<QPushButton>(*d, CTransitionSettings::kCancelButton)->text(), "Cancel");
}

TEST_F(TransitionSettingsTest, AnUnknownStoredModeShowsRandomAndOkTakesWhatIsShown) {
    auto d = open({1, static_cast<TransitionMode>(5), 0});
    EXPECT_TRUE(find<QRadioButton>(*d, CTransitionSettings::kRandomButton)->isChecked());
    pressOk(*d);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->values().mode, TransitionMode::Random);
    EXPECT_EQ(store_.readInt(settings::kTransitionSettings, settings::kTransitionType, -1), 0);
}

TEST_F(TransitionSettingsTest, BadDurationsKeepTheDialogOpenAndStoreNothing) {
    auto d = open({1, TransitionMode::Random, 0});
    typeDuration(*d, "601");
    pressOk(*d);
    expectOneBox(boxes_, "Enter an integer between 0 and 600.");
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(find<QLineEdit>(*d, CTransitionSettings::kDurationEdit)->hasSelectedText());

    typeDuration(*d, "two");
    pressOk(*d);
    expectOneBox(boxes_, "Enter an integer.");
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(anythingStored());
    EXPECT_EQ(d->values().durationSeconds, 1);
}

TEST_F(TransitionSettingsTest, OkTakesTheRadioAndListChoicesAndStoresAllThree) {
    auto d = open({1, TransitionMode::Random, 0});
    typeDuration(*d, "600");
    find<QRadioButton>(*d, CTransitionSettings::kSameButton)->click();
    find<QComboBox>(*d, CTransitionSettings::kEffectList)->setCurrentIndex(40);
    pressOk(*d);
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->values().durationSeconds, 600);
    EXPECT_EQ(d->values().mode, TransitionMode::Same);
    EXPECT_EQ(d->values().effectIndex, 40);
    using namespace settings;
    EXPECT_EQ(store_.readInt(kTransitionSettings, kTransitionDuration, -1), 600);
    EXPECT_EQ(store_.readInt(kTransitionSettings, kTransitionType, -1), 2);
    EXPECT_EQ(store_.readInt(kTransitionSettings, kTransitionName, -1), 40);
}

TEST_F(TransitionSettingsTest, CancelStoresNothing) {
    auto d = open({3, TransitionMode::Same, 5});
    typeDuration(*d, "9");
    find<QRadioButton>(*d, CTransitionSettings::kSequenceButton)->click();
    find<QPushButton>(*d, CTransitionSettings::kCancelButton)->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_FALSE(anythingStored());
    EXPECT_EQ(d->values().durationSeconds, 3);
    EXPECT_EQ(d->values().mode, TransitionMode::Same);
}

namespace {

class PhotoPropertyTest : public ::testing::Test {
protected:
    PhotoPropertyTest() {
        dir_ = QString::fromStdString(testmedia::scratchDir("photo_property"));
        existing_ = dir_ + "/clip.avi";
        QFile(existing_).open(QIODevice::WriteOnly);
        dialog_ = std::make_unique<CPhotoProperty>(ClipPropertyEdit{existing_, 7, 3}, nullptr);
        dialog_->show();
    }
    QLineEdit* fileEdit() { return find<QLineEdit>(*dialog_, CPhotoProperty::kFileEdit); }
    QLineEdit* durationEdit() { return find<QLineEdit>(*dialog_, CPhotoProperty::kDurationEdit); }
    QComboBox* effects() { return find<QComboBox>(*dialog_, CPhotoProperty::kEffectList); }
    void pressOk() { find<QPushButton>(*dialog_, CPhotoProperty::kOkButton)->click(); }

    QString dir_, existing_;
    std::unique_ptr<CPhotoProperty> dialog_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(PhotoPropertyTest, OpensOnTheClipWithEveryControl) {
    EXPECT_EQ(dialog_->windowTitle(), "Change the item property");
    EXPECT_EQ(dialog_->property("controlId").toInt(), 136);
    EXPECT_EQ(find<QLabel>(*dialog_, 1080)->text(), "File name:");
    EXPECT_EQ(find<QLabel>(*dialog_, 1081)->text(), "Transition Effect:");
    EXPECT_EQ(find<QLabel>(*dialog_, 1082)->text(), "Transition Duration:");
    EXPECT_EQ(find<QLabel>(*dialog_, 1083)->text(), "Seconds");
    EXPECT_EQ(find<QPushButton>(*dialog_, CPhotoProperty::kBrowseButton)->text(), "Browse");
    EXPECT_EQ(fileEdit()->text(), existing_);
    EXPECT_EQ(durationEdit()->text(), "3");
    EXPECT_EQ(durationEdit()->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(effects()->count(), 47);
    EXPECT_EQ(effects()->currentIndex(), 7);
    EXPECT_EQ(effects()->itemText(24), "stripe, SW to NE");
    EXPECT_TRUE(find<QPushButton>(*dialog_, CPhotoProperty::kOkButton)->isDefault());
}

TEST_F(PhotoPropertyTest, OkTakesTheEditsAndTheListChoice) {
    fileEdit()->setText(existing_);
    durationEdit()->setText("0");
    effects()->setCurrentIndex(46);
    pressOk();
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_EQ(dialog_->values().fileName, existing_);
    EXPECT_EQ(dialog_->values().transitionIndex, 46);
    EXPECT_EQ(dialog_->values().transitionSeconds, 0);
}

TEST_F(PhotoPropertyTest, AMissingFileKeepsTheDialogOpen) {
    for (const QString& name : {dir_ + "/missing.avi", dir_, QString()}) {
        fileEdit()->setText(name);
        pressOk();
        expectOneBox(boxes_, "The file does not exist!");
        EXPECT_TRUE(dialog_->isVisible()) << name.toStdString();
        EXPECT_EQ(dialog_->values().fileName, existing_);
    }
}

TEST_F(PhotoPropertyTest, BadDurationsAreRefusedBeforeTheFileIsLookedAt) {
    fileEdit()->setText(dir_ + "/missing.avi");
    durationEdit()->setText("601");
    pressOk();
    expectOneBox(boxes_, "Enter an integer between 0 and 600.");
    durationEdit()->setText("3s");
    pressOk();
    expectOneBox(boxes_, "Enter an integer.");
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->values().transitionSeconds, 3);
}

TEST_F(PhotoPropertyTest, ANameLongerThanTheClipsPathFieldIsRefused) {
    // A real file with a path of more than 259 bytes: the check is on length, not existence.
    QString folder = dir_;
    while (folder.toUtf8().size() < 270) {
        folder += "/" + QString(60, QChar('d'));
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    const QString longName = folder + "/clip.avi";
    ASSERT_TRUE(QFile(longName).open(QIODevice::WriteOnly));
    fileEdit()->setText(longName);
    pressOk();
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_TRUE(boxes_.messages[0].text.startsWith("The file name is too long"))
        << boxes_.messages[0].text.toStdString();
    EXPECT_TRUE(boxes_.messages[0].text.contains("259"));
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->values().fileName, existing_);
}

TEST_F(PhotoPropertyTest, BrowseShowsTheChosenFileAndCancelLeavesTheEdit) {
    FakeFileDialogs dialogs;
    dialogs.answer = dir_ + "/other.mkv";
    find<QPushButton>(*dialog_, CPhotoProperty::kBrowseButton)->click();
    EXPECT_EQ(fileEdit()->text(), dir_ + "/other.mkv");
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const platform::FileDialogRequest& r = dialogs.requests[0];
    EXPECT_EQ(r.owner, dialog_.get());
    EXPECT_EQ(r.title, "Select a Video File");
    ASSERT_EQ(r.filters.size(), 2);
    EXPECT_EQ(r.filters[0], "Any Files (*)");
    EXPECT_TRUE(r.filters[1].startsWith("Video Files (*.mpeg *.mpg *.avi"));
    EXPECT_EQ(r.selectedFilter, 0);
    EXPECT_TRUE(r.folder.isEmpty());
    EXPECT_TRUE(r.fileName.isEmpty());

    dialogs.answer.clear();
    find<QPushButton>(*dialog_, CPhotoProperty::kBrowseButton)->click();
    EXPECT_EQ(fileEdit()->text(), dir_ + "/other.mkv");
}

TEST_F(PhotoPropertyTest, CancelChangesNothing) {
    fileEdit()->setText(dir_ + "/other.mkv");
    durationEdit()->setText("9");
    effects()->setCurrentIndex(1);
    find<QPushButton>(*dialog_, CPhotoProperty::kCancelButton)->click();
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(dialog_->values().fileName, existing_);
    EXPECT_EQ(dialog_->values().transitionIndex, 7);
    EXPECT_EQ(dialog_->values().transitionSeconds, 3);
}
