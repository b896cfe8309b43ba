// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ini_document.h"

#include <gtest/gtest.h>

using platform::IniDocument;

namespace {

QString text(const IniDocument& doc, const char* section, const char* key) {
    const auto v = doc.value(QString::fromUtf8(section), QString::fromUtf8(key));
    return v ? v->text : QStringLiteral("<missing>");
}

}  // namespace

TEST(IniDocument, ReadsWithTheDesktopReaderRules) {
    const IniDocument doc = IniDocument::parse(QByteArray(
        "\xEF\xBB\xBF; a comment\r\n"
        "[STRING]\r\n"
        "IDS_A =  padded value  \r\n"
        "ids_a=second spelling loses\r\n"
        "IDS_Q=\"  quoted keeps blanks \"\r\n"
        "IDS_S='single'\r\n"
        "IDS_HALF=\"only one quote\r\n"
        "IDS_PATH=C:\\clips\\a,b.avi\r\n"
        "[Dialog]\r\n"
        "IDC_X=1\r\n"
        "[string]\r\n"
        "IDS_LATE=joins the first STRING section\r\n"));
    EXPECT_EQ(text(doc, "string", "ids_a"), "padded value");
    EXPECT_EQ(text(doc, "STRING", "IDS_Q"), "  quoted keeps blanks ");
    EXPECT_EQ(text(doc, "STRING", "IDS_S"), "single");
    EXPECT_EQ(text(doc, "STRING", "IDS_HALF"), "\"only one quote");
    EXPECT_EQ(text(doc, "STRING", "IDS_PATH"), "C:\\clips\\a,b.avi");  // backslashes and commas untouched
    EXPECT_EQ(text(doc, "dialog", "idc_x"), "1");
    EXPECT_EQ(text(doc, "STRING", "IDS_LATE"), "joins the first STRING section");
    EXPECT_EQ(text(doc, "STRING", "IDC_X"), "<missing>");
    EXPECT_EQ(text(doc, "MENU", "IDS_A"), "<missing>");
    EXPECT_TRUE(doc.value(u"STRING", u"IDS_Q")->quoted);
    EXPECT_FALSE(doc.value(u"STRING", u"IDS_A")->quoted);
}

TEST(IniDocument, DamagedTextYieldsWhatIsReadable) {
    static const char kGarbage[] = "\x00\xff\xfe[broken\n=novalue\n\x01\x02\x03\nkey=before any section\n[ok]\nk=v\n";
    const QByteArray garbage(kGarbage, sizeof kGarbage - 1);
    const IniDocument doc = IniDocument::parse(garbage);
    EXPECT_EQ(text(doc, "ok", "k"), "v");
    EXPECT_EQ(text(doc, "", "key"), "before any section");
}

TEST(IniDocument, WritesReplaceInPlaceAndSurviveARoundTrip) {
    IniDocument doc = IniDocument::parse(QByteArray("[Settings]\nOutputWidth=1\n; kept\nOther=2\n"));
    doc.setRaw(u"settings", u"outputwidth", QStringLiteral("640"));
    doc.setRaw(u"Settings", u"New", QStringLiteral("\"x\""));
    doc.setRaw(u"Option", u"CurrentLanguage", QStringLiteral("\"german\""));

    const IniDocument again = IniDocument::parse(doc.toUtf8());
    EXPECT_EQ(text(again, "Settings", "OutputWidth"), "640");
    EXPECT_EQ(again.keyNames(u"Settings"), (QStringList{"OutputWidth", "Other", "New"}));  // spelling kept
    EXPECT_EQ(text(again, "Option", "CurrentLanguage"), "german");
    EXPECT_EQ(again.sectionNames(), (QStringList{"Settings", "Option"}));
}
