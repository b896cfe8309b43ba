// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <clocale>

#include "platform/file_exists.h"
#include "res/string_table.h"
#include "ui/locale_name_table.h"
#include "ui/message_box.h"
#include "ui/text_key_table.h"
#include "ui/value_store.h"

CLanguage theLanguage;

namespace {

const QString kLanguageFolder = QStringLiteral("/language/");
const QString kExtension = QStringLiteral(".ini");

}  // namespace

QString LanguageRootDirectoryFor(const QString& executableDirectory) {
    const QString dir = QDir::cleanPath(executableDirectory);
    const qsizetype cut = dir.lastIndexOf(u'/');
    if (cut < 0) return dir;
    const QString parent = cut == 0 ? QStringLiteral("/") : dir.left(cut);
    const QString probe = QDir::cleanPath(parent + kLanguageFolder + QStringLiteral("English.ini"));
    return platform::fileExists(probe.toStdString()) ? parent : dir;
}

QString LanguageRootDirectory() {
    return LanguageRootDirectoryFor(QCoreApplication::applicationDirPath());
}

CLanguage::~CLanguage() {
    if (ui::currentTranslations() == this) ui::setTranslations(nullptr);
}

bool CLanguage::Init(const QString& rootDirectory, const QString& name) {
    rootDirectory_ = rootDirectory;
    availableNames_.clear();
    fileNames_.clear();
    menuTexts_.clear();
    stringTexts_.clear();
    dialogTexts_.clear();
    if (!EnumerateLanguages()) return false;
    ui::setTranslations(this);
    Select(name);
    return true;
}

bool CLanguage::EnumerateLanguages() {
    // Files only: a folder that happens to end in .ini is no language.
    const QFileInfoList found =
        QDir(rootDirectory_ + kLanguageFolder)
            .entryInfoList({QStringLiteral("*") + kExtension}, QDir::Files | QDir::Hidden);
    std::vector<std::pair<QByteArray, QString>> names;  // sort key (the name's bytes), file name
    for (const QFileInfo& file : found) {
        const QString fileName = file.fileName();
        names.emplace_back(fileName.chopped(kExtension.size()).toUtf8(), fileName);
    }
    std::sort(names.begin(), names.end());
    for (const auto& [name, fileName] : names) {
        availableNames_ << QString::fromUtf8(name);
        fileNames_ << fileName;
    }
    return !availableNames_.isEmpty();
}

bool CLanguage::Select(const QString& name) {
    menuTexts_.clear();
    stringTexts_.clear();
    dialogTexts_.clear();
    currentName_ = QStringLiteral("english");
    for (const QString& available : availableNames_) {
        if (available.compare(name, Qt::CaseInsensitive) == 0) {
            currentName_ = name;
            break;
        }
    }
    Load(currentName_ == name ? name : QStringLiteral("english"));
    return true;
}

QString CLanguage::fileNameOf(const QString& name) const {
    // The file system tells letter case apart; the language names do not.
    for (int i = 0; i < availableNames_.size(); ++i)
        if (availableNames_[i].compare(name, Qt::CaseInsensitive) == 0) return fileNames_[i];
    return name + kExtension;
}

bool CLanguage::Load(const QString& name) {
    if (availableNames_.isEmpty()) return false;
    encodingKind_ = ui::encodingKindOf(name);
    const Recognition recognition = RecogniseLanguage(name);
    if (recognition.recognised) {
        primaryLanguage_ = recognition.primaryLanguage;
        subLanguage_ = recognition.subLanguage;
    } else {
        QString shown = name.toLower();
        if (encodingKind_ == ui::EncodingKind::Utf8) shown.chop(6);
        if (encodingKind_ == ui::EncodingKind::Unicode) shown.chop(8);
        ui::showMessage(
            nullptr,
            QStringLiteral(
                "Your language file name may be not proper,\n please read the help file!"),
            shown);
    }
    languageFilePath_ = rootDirectory_ + kLanguageFolder + fileNameOf(name);

    const ui::LanguageFile file =
        ui::LanguageFile::read(languageFilePath_, encodingKind_, recognition.ansiCodePage);
    menuTexts_.clear();
    stringTexts_.clear();
    dialogTexts_.clear();
    for (const ui::TextKey& row : ui::textKeyTable()) {
        const char* section = ui::sectionOfKey(row.key);
        if (!section) continue;
        TextEntry entry{row.id, file.value(QLatin1String(section), QLatin1String(row.key))};
        switch (section[0]) {
            case 'S':
                stringTexts_.push_back(std::move(entry));
                break;
            case 'M':
                menuTexts_.push_back(std::move(entry));
                break;
            default:
                dialogTexts_.push_back(std::move(entry));
                break;
        }
    }
    // Numbers keep the decimal point whatever the language: values are written and parsed
    // with it, in files and in fields alike.
    std::setlocale(LC_NUMERIC, "C");
    CreateInterfaceFont();
    return true;
}

CLanguage::Recognition CLanguage::RecogniseLanguage(const QString& name) const {
    QString copy = name.toLower();
    if (encodingKind_ == ui::EncodingKind::Utf8) copy.chop(6);
    if (encodingKind_ == ui::EncodingKind::Unicode) copy.chop(8);
    if (copy == QLatin1String("english")) return {true, QStringLiteral("english"), 9, 1, 1252};
    for (const ui::LocaleName& row : ui::localeNameTable()) {
        const QString rowName = QString::fromLatin1(row.name).toLower();
        const QString abbreviation = QString::fromLatin1(row.abbreviation).toLower();
        if (copy == rowName || copy == abbreviation)
            return {true, abbreviation, row.identifier & 0x3FF, row.identifier >> 10,
                    row.ansiCodePage};
    }
    return {};
}

QString CLanguage::firstText(const std::vector<TextEntry>& list, int id) {
    for (const TextEntry& entry : list)
        if (entry.id == id) return entry.text;
    return QString();
}

QString CLanguage::MenuText(int id) const {
    return firstText(menuTexts_, id);
}

QString CLanguage::DialogText(int id) const {
    return firstText(dialogTexts_, id);
}

QString CLanguage::StringText(int id) const {
    const QString text = firstText(stringTexts_, id);
    return text.isEmpty() ? QString::fromUtf8(res::builtInString(id)) : text;
}

QString CLanguage::DialogTextOrString(int id) const {
    const QString text = firstText(dialogTexts_, id);
    return text.isEmpty() ? QString::fromUtf8(res::builtInString(id)) : text;
}

QString CLanguage::stringText(int id) const {
    return firstText(stringTexts_, id);
}

QString CLanguage::dialogText(int id) const {
    return firstText(dialogTexts_, id);
}

bool CLanguage::CreateInterfaceFont() {
    logicalFont_ = settings_ ? ui::readLogicalFont(*settings_, currentName_) : ui::LogicalFont{};
    interfaceFont_ = ui::makeFont(logicalFont_);
    if (!interfaceFont_) {
        ui::showMessage(nullptr, QStringLiteral("Failed to create font"), QStringLiteral("Error"));
        return false;
    }
    return true;
}

void CLanguage::SaveInterfaceFont() {
    if (settings_) ui::writeLogicalFont(*settings_, currentName_, logicalFont_);
}

bool CLanguage::setInterfaceFont(const ui::LogicalFont& font) {
    logicalFont_ = font;
    interfaceFont_ = ui::makeFont(font);
    return interfaceFont_.has_value();
}
