#include "Settings.h"

#include <QSettings>
#include <QStringList>

namespace {

const QString kApplication = QStringLiteral("Ventaro");

QString& currentSectionName()
{
    static QString name;
    return name;
}

void selectSection(int section)
{
    static const QStringList names = {
        QStringLiteral("Data"),          QStringLiteral("Documents"),
        QStringLiteral("Bl"),            QStringLiteral("Prod"),
        QStringLiteral("MB"),            QStringLiteral("Language"),
        QStringLiteral("Losses"),        QStringLiteral("HelpSystem"),
        QStringLiteral("User"),          QStringLiteral("UserInterface"),
        QStringLiteral("Documents\\TTK"), QStringLiteral("Documents\\TTKk"),
        QStringLiteral("Documents\\TK"),  QStringLiteral("Documents\\TTKk_prom"),
        QStringLiteral("Documents\\Label"),
    };
    if (section >= 0 && section < names.size())
        currentSectionName() = names[section];
}

// "Documents\TK" is the subsection TK of Documents: QSettings spells that "/".
QString settingsPath(const QString& key)
{
    QString group = currentSectionName();
    group.replace(u'\\', u'/');
    return group.isEmpty() ? key : group + u'/' + key;
}

QSettings store() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, kApplication); }

} // namespace

namespace Setting {
const SettingKey FontSize{RegSection::UserInterface, QStringLiteral("Brastel.FontSize"), QStringLiteral("24")};
const SettingKey ResizeStatus{RegSection::Data, QStringLiteral("QuorvelResizeStatus"), QStringLiteral("0")};
const SettingKey NamePOP{RegSection::User, QStringLiteral("Name_POP"), QString()};
} // namespace Setting

QString GetReg(int section, const QString& key, const QString& defaultValue)
{
    selectSection(section);
    const QSettings settings = store();
    const QVariant value = settings.value(settingsPath(key));
    return value.isValid() ? value.toString() : defaultValue;
}

void SaveReg(int section, const QString& key, const QString& value)
{
    selectSection(section);
    QSettings settings = store();
    settings.setValue(settingsPath(key), value);
}

void SettingsStore::useFolder(const QString& folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    resetCurrentSection();
}

QString SettingsStore::currentSection() { return currentSectionName(); }

void SettingsStore::resetCurrentSection() { currentSectionName().clear(); }

QString SettingsStore::fileName() { return store().fileName(); }
