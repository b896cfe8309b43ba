// SPDX-License-Identifier: GPL-3.0-or-later
// Reading language files: the characters of each kind of file, the value rules, damaged
// files, and the files the program ships.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "ui/language.h"
#include "ui/language_file.h"
#include "ui/text_key_table.h"

using ui::EncodingKind;

namespace {

QString writeFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(folder);
    const QString path = folder + "/" + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}

QString scratch(const char* name) {
    const QString dir = QString::fromStdString(testmedia::scratchDir(name));
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

}  // namespace

TEST(LanguageFile, EscapesAndTheValueRules) {
    EXPECT_EQ(ui::replaceEscapes("two\\nwords\\tthird"), "two\nwords\tthird");
    EXPECT_EQ(ui::replaceEscapes("a\\\\nb"), "a\\\nb");
    EXPECT_EQ(ui::replaceEscapes("\\r\\x\\"), "\r\\x\\");

    const ui::LanguageFile file = ui::LanguageFile::fromText(
        "[dialog]\nidc_a = \"quoted value\" \nIDC_A=second\nIDC_EMPTY=\n[STRING]\nIDS_LONG=" +
        QString(3000, QChar(0x00E4)) + "\nIDS_PAIR=x" + QString(1100, QChar(0x20AC)) + "\n");
    EXPECT_EQ(file.value("DIALOG", "IDC_A"), "quoted value");  // any case, quotes off, first wins
    EXPECT_EQ(file.value("DIALOG", "IDC_EMPTY"), "");
    EXPECT_EQ(file.value("DIALOG", "IDC_MISSING"), "");
    EXPECT_EQ(file.value("STRING", "IDS_LONG").size(), 1023);  // 2046 bytes: no half letter
    EXPECT_EQ(file.value("STRING", "IDS_PAIR").toUtf8().size(), 1 + 682 * 3);

    // A character beyond the basic plane is kept whole or not at all.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8E\xAC");
    EXPECT_EQ(ui::cutToUtf8Bytes("abc" + emoji, 6), "abc");
    EXPECT_EQ(ui::cutToUtf8Bytes("abc" + emoji, 7), "abc" + emoji);
}

TEST(LanguageFile, CharactersByMarkKindAndCodePage) {
    const QByteArray cyrillic("\xCF\xF0\xE8\xE2\xE5\xF2");  // "Привет" in code page 1251
    EXPECT_EQ(ui::decodeLanguageText(cyrillic, EncodingKind::Ansi, 1251),
              QString::fromUtf8("Привет"));
    EXPECT_EQ(ui::decodeLanguageText("Gr\xFC\xDF", EncodingKind::Ansi, 1252),
              QString::fromUtf8("Grüß"));
    EXPECT_EQ(ui::decodeLanguageText("\xC4\xE3", EncodingKind::Ansi, 936), QString::fromUtf8("你"));
    EXPECT_EQ(ui::decodeLanguageText("\x93\xFA", EncodingKind::Ansi, 932), QString::fromUtf8("日"));

    QByteArray utf16("\xFF\xFE");
    for (QChar c : QString::fromUtf8("言語"))
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    EXPECT_EQ(ui::decodeLanguageText(utf16, EncodingKind::Ansi, 1252), QString::fromUtf8("言語"));
    // The mark decides before the name's kind and the code page.
    EXPECT_EQ(ui::decodeLanguageText("\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F", EncodingKind::Ansi, 1251),
              QString::fromUtf8("Grüß"));
    EXPECT_EQ(ui::decodeLanguageText("Gr\xC3\xBC\xC3\x9F", EncodingKind::Utf8, 936),
              QString::fromUtf8("Grüß"));

    // A name no row knows: UTF-8 when it is valid, else code page 1252.
    EXPECT_EQ(ui::decodeLanguageText("Gr\xC3\xBC\xC3\x9F", EncodingKind::Ansi, 0),
              QString::fromUtf8("Grüß"));
    EXPECT_EQ(ui::decodeLanguageText("Gr\xFC\xDF", EncodingKind::Ansi, 0),
              QString::fromUtf8("Grüß"));
    // Bad bytes of a UTF-8 file become the replacement character.
    EXPECT_EQ(ui::decodeLanguageText("a\xFF"
                                     "b",
                                     EncodingKind::Utf8, 0),
              QString::fromUtf8("a\xEF\xBF\xBD"
                                "b"));
}

TEST(LanguageFile, DamagedBinaryTruncatedAndHugeFilesLoseNothing) {
    const QString dir = scratch("language-damaged");
    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator random(7);
    for (char& c : noise) c = char(random.bounded(256));
    const QByteArray truncatedUtf16 =
        QByteArray("\xFF\xFE[\0S\0T\0R\0I\0N\0G\0]\0\n\0I\0D\0S\0", 25);
    QByteArray huge = "[STRING]\nIDS_MESSAGE_ERROR=Huge\n";
    huge.append(QByteArray(ui::kMaxLanguageFileBytes, 'x'));
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {{"Noise.ini", noise},
                 {"Truncated_unicode.ini", truncatedUtf16},
                 {"Huge.ini", huge},
                 {"Nul.ini", QByteArray("[STRING]\nIDS_MESSAGE_ERROR=a\0b\n", 31)},
                 {"Empty.ini", QByteArray()}};
    for (const Case& c : cases) {
        const QString path = writeFile(dir, c.name, c.bytes);
        const ui::LanguageFile file =
            ui::LanguageFile::read(path, ui::encodingKindOf(c.name), 1252);
        const QString error = file.value("STRING", "IDS_MESSAGE_ERROR");
        EXPECT_NE(error, "Huge") << c.name;  // an oversized file is not read at all
        EXPECT_LE(error.toUtf8().size(), ui::kMaxValueBytes) << c.name;
    }
    EXPECT_EQ(
        ui::LanguageFile::read(dir + "/Missing.ini", EncodingKind::Ansi, 1252).value("STRING", "X"),
        "");
}

TEST(ShippedLanguages, EachDecodesToItsLanguageAndHoldsEveryKey) {
    struct Shipped {
        const char* name;
        int dialogId;
        const char* expected;  // the text of that dialog id, in UTF-8
    } shipped[] = {
        {"English", 1006, "Add Video"},
        {"German", 1006, "Video hinzufügen"},
        {"French", 1006, "Ajouter une vidéo"},
        {"Russian", 1006, "Добавить видео"},
        {"Chinese_Simplified_utf-8", 1006, "添加视频"},
        {"Japanese_unicode", 1006, "動画を追加"},
    };
    testqt::MessageRecorder boxes;
    CLanguage language;
    ASSERT_TRUE(language.Init(QFileInfo(CLIPFUSE_LANGUAGE_DIR).path(), "english"));
    ASSERT_EQ(language.AvailableCount(), 6);
    for (const Shipped& s : shipped) {
        language.Select(s.name);
        EXPECT_EQ(language.CurrentName(), s.name);
        EXPECT_EQ(language.DialogText(s.dialogId), QString::fromUtf8(s.expected)) << s.name;
        // Every key of the table has a text of its own in every shipped language.
        const ui::LanguageFile file =
            ui::LanguageFile::read(language.languageFilePath(), language.encodingKind(),
                                   language.RecogniseLanguage(s.name).ansiCodePage);
        for (const ui::TextKey& key : ui::textKeyTable()) {
            const QString text = file.value(ui::sectionOfKey(key.key), key.key);
            EXPECT_FALSE(text.isEmpty()) << s.name << " " << key.key;
            EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << s.name << " " << key.key;
        }
    }
    language.Select("Russian");
    EXPECT_EQ(language.StringText(105), QString::fromUtf8("Ошибка"));
    language.Select("Chinese_Simplified_utf-8");
    EXPECT_EQ(language.StringText(145), QString::fromUtf8("请重新启动程序"));
    language.Select("Japanese_unicode");
    EXPECT_EQ(language.MenuText(161 * 65536), QString::fromUtf8("言語"));
    EXPECT_TRUE(boxes.messages.empty());  // every shipped name is recognised
}
