// SPDX-License-Identifier: GPL-3.0-or-later
// The language object: which files are found, which name loads which file, how names are
// recognised, and what a user sees when a file or a name is not right.
#include "ui/language.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "ui/locale_name_table.h"

namespace {

class LanguageTest : public ::testing::Test {
protected:
    LanguageTest() {
        root_ = QString::fromStdString(testmedia::scratchDir("language-root"));
        QDir(root_).removeRecursively();
        QDir().mkpath(root_ + "/language");
    }
    ~LanguageTest() override { theLanguage.Init(QString(), QString()); }

    void addFile(const QString& name, const QByteArray& text) {
        QFile f(root_ + "/language/" + name);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    }

    QString root_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST(LocaleNameTable, RowsInTheirOrderWithWindowsIdentifiers) {
    const auto table = ui::localeNameTable();
    ASSERT_EQ(table.size(), 273u);
    EXPECT_STREQ(table.front().name, "Afrikaans");
    EXPECT_EQ(table.front().identifier, 0x0036);
    EXPECT_STREQ(table.back().name, "Yoruba_Nigeria");
    EXPECT_EQ(table.back().identifier, 0x046A);
    int found = 0;
    for (const ui::LocaleName& row : table) {
        EXPECT_EQ(std::strlen(row.abbreviation), 3u) << row.name;
        const std::string name = row.name;
        if (name == "Spanish_United States") {
            EXPECT_EQ(row.identifier, 0x540A);
            EXPECT_STREQ(row.abbreviation, "EST");
            ++found;
        }
        if (name == "Serbian") {
            EXPECT_EQ(row.identifier, 0x7C1A);
            EXPECT_STREQ(row.abbreviation, "SRB");
            ++found;
        }
        if (name == "Russian") {
            EXPECT_EQ(row.ansiCodePage, 1251);
            ++found;
        }
    }
    EXPECT_EQ(found, 3);
}

TEST(LanguageRecognition, NamesAbbreviationsAndSuffixes) {
    CLanguage language;
    for (const char* name : {"english", "English", "ENGLISH"}) {
        const CLanguage::Recognition r = language.RecogniseLanguage(name);
        EXPECT_TRUE(r.recognised) << name;
        EXPECT_EQ(r.primaryLanguage, 9);
        EXPECT_EQ(r.subLanguage, 1);
    }
    for (const char* name : {"enu", "ENU"}) {  // the first row with ENU: English, 0x0009
        const CLanguage::Recognition r = language.RecogniseLanguage(name);
        EXPECT_EQ(r.primaryLanguage, 9);
        EXPECT_EQ(r.subLanguage, 0);
        EXPECT_EQ(r.localeName, "enu");
    }
    const CLanguage::Recognition cht = language.RecogniseLanguage("cht");  // Chinese_Taiwan, 0x0404
    EXPECT_EQ(cht.primaryLanguage, 4);
    EXPECT_EQ(cht.subLanguage, 1);
    EXPECT_EQ(cht.ansiCodePage, 950);
    const CLanguage::Recognition german = language.RecogniseLanguage("German_Austria");
    EXPECT_EQ(german.primaryLanguage | german.subLanguage << 10, 0x0C07);
    EXPECT_EQ(german.localeName, "dea");
    EXPECT_FALSE(language.RecogniseLanguage("Klingon").recognised);
}

TEST_F(LanguageTest, SuffixedNamesAreRecognisedAndTheirWholeFileRead) {
    addFile("English_utf-8.ini", "[STRING]\nIDS_MESSAGE_ERROR=Error!\n");
    addFile("Chinese_Simplified_unicode.ini", "[STRING]\nIDS_MESSAGE_ERROR=Cuo\n");
    ASSERT_TRUE(theLanguage.Init(root_, "English_utf-8"));
    EXPECT_EQ(theLanguage.encodingKind(), ui::EncodingKind::Utf8);
    EXPECT_EQ(theLanguage.localeIdentifier(), 9 | 1 << 10);
    theLanguage.Select("Chinese_Simplified_unicode");
    EXPECT_EQ(theLanguage.encodingKind(), ui::EncodingKind::Unicode);
    EXPECT_EQ(theLanguage.localeIdentifier(), 0x0004);
    EXPECT_TRUE(
        theLanguage.languageFilePath().endsWith("/language/Chinese_Simplified_unicode.ini"));
    EXPECT_EQ(StringText(105), "Cuo");
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(LanguageTest, StoredLowerCaseNameLoadsTheFileAndKeepsItsSpelling) {
    addFile("German.ini",
            "[DIALOG]\nIDC_BUTTON_ADD_VIDEO=Video "
            "hinzuf\xFCgen\n[STRING]\nIDS_MESSAGE_RESTART_PROGRAM=\n");
    addFile("English.ini", "[DIALOG]\nIDC_BUTTON_ADD_VIDEO=Add Video\n");
    addFile("chinese.ini", "");
    ASSERT_TRUE(theLanguage.Init(root_, "german"));
    // Sorted by their bytes: capitals first.
    EXPECT_EQ(theLanguage.availableNames(), QStringList({"English", "German", "chinese"}));
    EXPECT_EQ(theLanguage.CurrentName(), "german");
    EXPECT_EQ(theLanguage.DialogText(1006), QString::fromUtf8("Video hinzufügen"));
    EXPECT_TRUE(theLanguage.languageFilePath().endsWith("/language/German.ini"));
    // An empty value is no translation: the built-in text stays.
    EXPECT_EQ(theLanguage.StringText(145), "Please restart the program");
    EXPECT_EQ(StringText(145), "Please restart the program");
    EXPECT_EQ(theLanguage.MenuText(32777), "");
    EXPECT_TRUE(boxes_.messages.empty());

    // A name with no file loads English, without a word.
    theLanguage.Select("Elvish");
    EXPECT_EQ(theLanguage.CurrentName(), "english");
    EXPECT_EQ(theLanguage.DialogText(1006), "Add Video");
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(LanguageTest, AnUnknownNameIsLoadedWithItsMessage) {
    addFile("Klingon_utf-8.ini", "[MENU]\nIDM_ABOUT=\"tlhIngan\"\n");
    const int before = theLanguage.localeIdentifier();
    ASSERT_TRUE(theLanguage.Init(root_, "Klingon_utf-8"));
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text,
              "Your language file name may be not proper,\n please read the help file!");
    EXPECT_EQ(boxes_.messages[0].caption, "klingon");
    EXPECT_EQ(boxes_.messages[0].owner, nullptr);
    EXPECT_EQ(theLanguage.MenuText(32777), "tlhIngan");
    EXPECT_EQ(theLanguage.localeIdentifier(), before);  // the previous language's
}

TEST_F(LanguageTest, NoLanguageFileMeansBuiltInTexts) {
    addFile("German.ini", "[STRING]\nIDS_MESSAGE_ERROR=Fehler\n");
    ASSERT_TRUE(theLanguage.Init(root_, "German"));
    EXPECT_EQ(StringText(105), "Fehler");
    QDir(root_ + "/language").removeRecursively();
    QDir().mkpath(root_ + "/language/Folder.ini");  // a folder is no language
    EXPECT_FALSE(theLanguage.Init(root_, "German"));
    EXPECT_EQ(theLanguage.AvailableCount(), 0);
    EXPECT_EQ(StringText(105), "Error");
    EXPECT_EQ(theLanguage.DialogText(102), "");
    EXPECT_FALSE(theLanguage.Load("German"));
}

TEST_F(LanguageTest, TheParentsLanguageFolderWinsOverTheProgramsOwn) {
    const QString bin = root_ + "/bin";
    QDir().mkpath(bin + "/language");
    EXPECT_EQ(LanguageRootDirectoryFor(bin), bin);
    addFile("English.ini", "");
    EXPECT_EQ(LanguageRootDirectoryFor(bin), root_);
    EXPECT_EQ(LanguageRootDirectoryFor(bin + "/"), root_);
}
