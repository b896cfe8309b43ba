// SPDX-License-Identifier: GPL-3.0-or-later
// The loaded language on the screen: dialogs, the popup menu, the language switch and the
// interface font kept per language.
#include "ui/translation.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <memory>

#include "app/about_dialog.h"
#include "app/control_ids.h"
#include "app/main_popup_menu.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "ui/interface_font.h"
#include "ui/language.h"

namespace {

class FakeFontChooser : public ui::FontChooser {
public:
    FakeFontChooser() { previous_ = ui::setFontChooser(this); }
    ~FakeFontChooser() override { ui::setFontChooser(previous_); }
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial) override {
        offered = initial;
        return answer;
    }
    std::optional<QFont> answer;
    QFont offered;

private:
    ui::FontChooser* previous_;
};

class TranslationTest : public ::testing::Test {
protected:
    TranslationTest() : store_("KORVANE", "translation_test") {
        QFile::remove(store_.filePath());
        root_ = QString::fromStdString(testmedia::scratchDir("translation-root"));
        QDir(root_).removeRecursively();
        QDir().mkpath(root_ + "/language");
        theLanguage.setSettings(&store_);
    }
    ~TranslationTest() override {
        theLanguage.setSettings(nullptr);
        theLanguage.Init(QString(), QString());
    }

    void addFile(const QString& name, const QByteArray& text) {
        QFile f(root_ + "/language/" + name);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    }
    void addGermanAndEnglish() {
        addFile("German.ini",
                "[MENU]\nIDM_SELECT_LANGUAGE=Sprache\nIDM_POPUPMENU_FONT=Schriftart\n"
                "[DIALOG]\nIDD_PROGRAM_CAPTION=Clipfuse auf Deutsch\nIDC_BUTTON_ADD_VIDEO=Video "
                "hinzuf\xFCgen\n"
                "[STRING]\nIDS_MESSAGE_RESTART_PROGRAM=Bitte starten Sie das Programm neu\n"
                "IDS_MESSAGE_WARNING=Warnung\nIDS_COLUMN_FILE_NAME=Videodatei\n");
        addFile("English.ini", "[DIALOG]\nIDC_BUTTON_ADD_VIDEO=Add Video\n");
    }
    // The Language submenu of a freshly loaded and filled popup menu.
    std::unique_ptr<QMenu> filledMenu() {
        std::unique_ptr<QMenu> menu(loadMainPopupMenu(nullptr));
        FillLanguageMenu(menu.get());
        return menu;
    }
    static QList<QAction*> popupItems(QMenu* menu) { return menu->actions()[0]->menu()->actions(); }

    SettingsStore store_;
    QString root_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(TranslationTest, LanguageSubmenuListsEachFileOnceWithTheCurrentOneChecked) {
    addFile("German.ini", "[MENU]\nIDM_SELECT_LANGUAGE=Sprache\nIDM_ABOUT=\n");
    addFile("French.ini", "");
    addFile("Russian.ini", "");
    ASSERT_TRUE(theLanguage.Init(root_, "german"));
    for (int shown = 0; shown < 2; ++shown) {  // the menu is made afresh each time
        const std::unique_ptr<QMenu> menu = filledMenu();
        const auto items = popupItems(menu.get());
        EXPECT_EQ(items[0]->text(), "Sprache");
        EXPECT_EQ(items[2]->text(), "About");  // an empty value keeps the built-in caption
        const auto languages = items[0]->menu()->actions();
        ASSERT_EQ(languages.size(), 3);
        const char* names[] = {"French", "German", "Russian"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(languages[i]->text(), names[i]);
            EXPECT_EQ(languages[i]->property(ids::kControlIdProperty).toInt(), 45400 + i);
            EXPECT_EQ(languages[i]->isChecked(), i == 1);
        }
    }
    theLanguage.Select("english");  // no file named English: nothing is checked
    for (QAction* item : popupItems(filledMenu().get())[0]->menu()->actions())
        EXPECT_FALSE(item->isChecked());
}

TEST_F(TranslationTest, DialogTakesTextsAndFontOnlyWhereTheLanguageHasThem) {
    addFile("German.ini",
            "[DIALOG]\nIDC_BUTTON_ADD_VIDEO=Video hinzuf\xFCgen\nIDC_STATIC_OUTPUT_FILE=Datei:\n");
    ASSERT_TRUE(theLanguage.Init(root_, "German"));
    QDialog dialog;
    dialog.setWindowTitle("Clipfuse");
    QFont templateFont("DejaVu Sans", 8);
    dialog.setFont(templateFont);
    auto* add = new QPushButton("Add Video", &dialog);
    add->setProperty(ids::kControlIdProperty, 1006);
    auto* exit = new QPushButton("Exit", &dialog);
    exit->setProperty(ids::kControlIdProperty, 1058);
    auto* edit = new QLineEdit("kept", &dialog);
    edit->setProperty(ids::kControlIdProperty,
                      1023);  // an edit field keeps its text even with a key
    auto* label = new QLabel("Output file:", &dialog);
    label->setProperty(ids::kControlIdProperty, 1023);

    ASSERT_TRUE(TranslateDialog(&dialog, 102));
    EXPECT_EQ(dialog.windowTitle(), "Clipfuse");  // no title key: the title stays
    EXPECT_EQ(add->text(), QString::fromUtf8("Video hinzufügen"));
    EXPECT_EQ(label->text(), "Datei:");
    EXPECT_EQ(edit->text(), "kept");
    EXPECT_EQ(exit->text(), "Exit");
    ASSERT_TRUE(theLanguage.interfaceFont());
    EXPECT_EQ(add->font().pixelSize(), 11);
    EXPECT_EQ(exit->font(), dialog.font());  // untranslated controls keep the template font
    EXPECT_EQ(edit->font(), dialog.font());
}

TEST_F(TranslationTest, LanguageCommandSwitchesTheWindowAndAsksForARestartInTheNewLanguage) {
    addGermanAndEnglish();
    ASSERT_TRUE(theLanguage.Init(root_, "English"));
    CSlidemintDlg window(store_, theLanguage.CurrentName());
    window.initialise();
    auto* table = qobject_cast<QTableWidget*>(window.control(ids::kClipList));
    const QString column = table->horizontalHeaderItem(0)->text();

    window.runCommand(45401);  // German
    EXPECT_EQ(theLanguage.CurrentName(), "German");
    EXPECT_EQ(window.windowTitle(), "Clipfuse auf Deutsch");
    EXPECT_EQ(qobject_cast<QAbstractButton*>(window.control(ids::kAddVideo))->text(),
              QString::fromUtf8("Video hinzufügen"));
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), column);  // set at start: changes at the next
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "Bitte starten Sie das Programm neu");
    EXPECT_EQ(boxes_.messages[0].caption, "Warnung");
    EXPECT_EQ(boxes_.messages[0].owner, &window);

    // Ids past the thousandth language are no language commands; ids past the files name none.
    EXPECT_FALSE(OnLanguageCommand(&window, 46400));
    EXPECT_FALSE(OnLanguageCommand(&window, 45402));
    EXPECT_FALSE(OnLanguageCommand(&window, 45399));
    EXPECT_EQ(boxes_.messages.size(), 1u);

    // The language chosen is the one stored when the window closes.
    window.requestClose();
    EXPECT_EQ(store_.readText("Option", "CurrentLanguage", ""), "German");
}

TEST_F(TranslationTest, FontIsKeptPerLanguage) {
    addGermanAndEnglish();
    ASSERT_TRUE(theLanguage.Init(root_, "English"));
    // Nothing stored: the default record.
    const ui::LogicalFont defaults = theLanguage.logicalFont();
    EXPECT_EQ(defaults.faceName, "Microsoft Sans Serif");
    EXPECT_EQ(defaults.height, -11);
    EXPECT_EQ(defaults.weight, 400);
    EXPECT_EQ(defaults.charSet, 1);
    EXPECT_EQ(defaults.italic + defaults.underline + defaults.strikeOut, 0);
    ASSERT_TRUE(theLanguage.interfaceFont());  // a face this machine lacks is matched silently
    EXPECT_TRUE(boxes_.messages.empty());

    // A bold 12-point font chosen while German is the language...
    theLanguage.Select("German");
    QDialog window;
    auto* add = new QPushButton("Add Video", &window);
    add->setProperty(ids::kControlIdProperty, 1006);
    FakeFontChooser chooser;
    QFont bold("DejaVu Sans", 12);
    bold.setBold(true);
    chooser.answer = bold;
    OnFontCommand(&window);
    EXPECT_EQ(chooser.offered.family(), "Microsoft Sans Serif");
    EXPECT_TRUE(add->font().bold());  // the window's translated controls take it at once
    EXPECT_EQ(store_.readInt("german", "lfWeight", 0), 700);
    EXPECT_EQ(store_.readInt("German", "lfHeight", 0), -16);

    // ...is German's alone: English shows the default, German the bold font again.
    theLanguage.Select("English");
    EXPECT_EQ(theLanguage.logicalFont(), defaults);
    theLanguage.Select("German");
    EXPECT_EQ(theLanguage.logicalFont().weight, 700);
    EXPECT_EQ(theLanguage.logicalFont().faceName, "DejaVu Sans");
    EXPECT_TRUE(theLanguage.interfaceFont()->bold());

    // Cancel changes nothing.
    chooser.answer.reset();
    OnFontCommand(&window);
    EXPECT_EQ(store_.readInt("German", "lfWeight", 0), 700);
}

TEST_F(TranslationTest, StoredFontValuesAndTheOnesNoFontIsMadeOf) {
    addFile("English.ini", "");
    store_.writeInt("english", "lfWeight", 700);
    ASSERT_TRUE(theLanguage.Init(root_, "english"));
    EXPECT_EQ(theLanguage.logicalFont().faceName, "Microsoft Sans Serif");
    EXPECT_EQ(theLanguage.logicalFont().height, -11);
    EXPECT_TRUE(theLanguage.interfaceFont()->bold());

    store_.writeText("english", "lfFaceName", QString(40, 'F'));
    store_.writeInt("english", "lfItalic", 0x101);  // one byte of it is kept
    theLanguage.Select("english");
    EXPECT_EQ(theLanguage.logicalFont().faceName.size(), 31);
    EXPECT_EQ(theLanguage.logicalFont().italic, 1);
    EXPECT_TRUE(boxes_.messages.empty());

    for (int height : {0, 1001, -5000}) {
        store_.writeInt("english", "lfHeight", height);
        boxes_.messages.clear();
        theLanguage.Select("english");
        EXPECT_FALSE(theLanguage.interfaceFont()) << height;
        ASSERT_EQ(boxes_.messages.size(), 1u);
        EXPECT_EQ(boxes_.messages[0].text, "Failed to create font");
        EXPECT_EQ(boxes_.messages[0].caption, "Error");
    }
    store_.writeInt("english", "lfHeight", -11);
    store_.writeText("english", "lfFaceName", "");
    theLanguage.Select("english");
    EXPECT_FALSE(theLanguage.interfaceFont());
}

TEST_F(TranslationTest, TheAboutBoxNoticeShowsItsOwnTextInEveryShippedLanguage) {
    ASSERT_TRUE(theLanguage.Init(QFileInfo(CLIPFUSE_LANGUAGE_DIR).path(), "English"));
    const struct {
        const char* language;
        const char* opening;  // how the notice begins
    } shipped[] = {{"English", "Parts of this program"},
                   {"German", "Teile dieses Programms"},
                   {"French", "Des parties de ce programme"},
                   {"Russian", "Части этой программы"},
                   {"Chinese_Simplified_utf-8", "本程序的部分功能"},
                   {"Japanese_unicode", "このプログラムの一部"}};
    for (const auto& s : shipped) {
        theLanguage.Select(s.language);
        CAboutDlg about(nullptr);
        QLabel* notice = nullptr;
        for (QLabel* label : about.findChildren<QLabel*>()) {
            EXPECT_NE(label->text(), theLanguage.DialogText(1074))
                << s.language << ": a label of another dialog";
            if (label->text().startsWith(QString::fromUtf8(s.opening))) notice = label;
        }
        ASSERT_TRUE(notice) << s.language;
        EXPECT_TRUE(notice->text().contains("FFmpeg")) << s.language;
    }
}
