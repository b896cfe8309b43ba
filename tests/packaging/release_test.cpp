// SPDX-License-Identifier: GPL-3.0-or-later
// What a release carries: the project's one version wherever a user or a distribution reads
// it, and manual pages that describe every option the programs take.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "app/about_dialog.h"
#include "app/vendor_links.h"
#include "ui/link_label.h"

namespace {

const QString kVersion = QStringLiteral(CLIPFUSE_PROJECT_VERSION);

QString sourceText(const QString& relative) {
    QFile f(QStringLiteral(CLIPFUSE_SOURCE_DIR "/") + relative);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// What a program prints on its standard output for `arguments`, with no display at all.
QString standardOutput(const QString& program, const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("(failed: %1)").arg(QString::fromUtf8(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The version of the newest <release>; AppStream lists them newest first, and their dates
// must agree.
QString newestMetainfoRelease(const QString& xml) {
    QXmlStreamReader r(xml);
    QString version, newestDate;
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != QLatin1String("release"))
            continue;
        const QString date = r.attributes().value(QLatin1String("date")).toString();
        if (version.isEmpty()) {
            version = r.attributes().value(QLatin1String("version")).toString();
            newestDate = date;
        } else if (date > newestDate) {
            return QStringLiteral("(a later release stands below the first)");
        }
    }
    return r.hasError() ? QStringLiteral("(damaged: %1)").arg(r.errorString()) : version;
}

// The page as a reader sees its option names: roff's "\-" is a plain hyphen.
QString manualPage(const char* name) {
    return sourceText(QStringLiteral("docs/man/%1.1.in").arg(QLatin1String(name)))
        .replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

QStringList optionsIn(const QString& help) {
    QStringList options;
    static const QRegularExpression optionAtLineStart(
        QStringLiteral("^\\s+(-[^ ,]+(?:, --[^ ,]+)?)"), QRegularExpression::MultilineOption);
    for (const auto& m : optionAtLineStart.globalMatch(help))
        for (const QString& name : m.captured(1).split(QStringLiteral(", "))) options << name;
    return options;
}

}  // namespace

TEST(Release, ChangelogMetainfoAndReadmeCarryTheProjectsVersion) {
    const QString changelog = sourceText(QStringLiteral("packaging/debian/changelog"));
    EXPECT_TRUE(changelog.startsWith(QStringLiteral("clipfuse (%1) ").arg(kVersion)))
        << "the changelog's top entry: "
        << changelog.section(QLatin1Char('\n'), 0, 0).toStdString();

    EXPECT_EQ(newestMetainfoRelease(
                  sourceText(QStringLiteral("packaging/com.korvane.Clipfuse.metainfo.xml")))
                  .toStdString(),
              kVersion.toStdString());

    const QString readme = sourceText(QStringLiteral("README.md"));
    static const QRegularExpression packageName(QStringLiteral("clipfuse_([^_`]+)_amd64\\.deb"));
    int named = 0;
    for (const auto& m : packageName.globalMatch(readme)) {
        EXPECT_EQ(m.captured(1), kVersion) << "README names " << m.captured(0).toStdString();
        ++named;
    }
    EXPECT_GT(named, 0) << "the README names no package file";
}

TEST(Release, BothProgramsAndTheAboutBoxSayTheProjectsVersion) {
    EXPECT_EQ(standardOutput(QStringLiteral(CLIPFUSE_PROGRAM), {QStringLiteral("--version")}),
              QStringLiteral("clipfuse %1\n").arg(kVersion));
    EXPECT_EQ(standardOutput(QStringLiteral(CLIPFUSE_JOIN_PROGRAM), {QStringLiteral("--version")}),
              QStringLiteral("clipfuse-join %1\n").arg(kVersion));

    CAboutDlg about(nullptr);
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Version %1").arg(kVersion)))
        << texts.join('|').toStdString();
    // The licence asks an interactive program to name it and say there is no warranty.
    EXPECT_EQ(texts.filter(QStringLiteral("GNU General Public License, version 3 or later")).size(),
              1);
    EXPECT_EQ(texts.filter(QStringLiteral("NO WARRANTY")).size(), 1);
    // ... and where its source is: the address itself, readable without a click.
    const QString source = programSourcePage().toString();
    bool linked = false;
    for (const CLinkLabel* link : about.findChildren<CLinkLabel*>())
        linked = linked || (link->url().toString() == source && link->text() == source);
    EXPECT_TRUE(linked) << "no link shows " << source.toStdString();
}

TEST(Release, TheManualPagesDescribeEveryOptionTheProgramsPrint) {
    // The page may run ahead of --help: an option described before it is built does no harm.
    const struct {
        const char* program;
        const char* page;
    } programs[] = {{CLIPFUSE_JOIN_PROGRAM, "clipfuse-join"}, {CLIPFUSE_PROGRAM, "clipfuse"}};
    for (const auto& p : programs) {
        const QString page = manualPage(p.page);
        ASSERT_FALSE(page.isEmpty()) << p.page;
        const QStringList options =
            optionsIn(standardOutput(QString::fromUtf8(p.program), {QStringLiteral("--help")}));
        EXPECT_GE(options.size(), 2) << p.page;
        for (const QString& option : options) {
            const QRegularExpression named(
                QStringLiteral("(^|[^-\\w])%1($|[^-\\w])").arg(QRegularExpression::escape(option)));
            EXPECT_TRUE(page.contains(named)) << p.page << " lacks " << option.toStdString();
        }
    }
    const QString joinPage = manualPage("clipfuse-join");
    for (const char* status : {"0", "1", "2", "130"})
        EXPECT_TRUE(joinPage.contains(QStringLiteral(".SH EXIT STATUS")) &&
                    joinPage.section(QStringLiteral(".SH EXIT STATUS"), 1)
                        .contains(QStringLiteral("\n.B %1\n").arg(QLatin1String(status))))
            << "exit status " << status;
}
