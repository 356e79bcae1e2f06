#include "Settings.h"

#include <QFile>
#include <QSettings>
#include <QStringList>

#include <optional>

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
        QStringLiteral("Data"),
        QStringLiteral("Documents"),
        QStringLiteral("Bl"),
        QStringLiteral("Prod"),
        QStringLiteral("MB"),
        QStringLiteral("Language"),
        QStringLiteral("Losses"),
        QStringLiteral("HelpSystem"),
        QStringLiteral("User"),
        QStringLiteral("UserInterface"),
        QStringLiteral("Documents\\TTK"),
        QStringLiteral("Documents\\TTKk"),
        QStringLiteral("Documents\\TK"),
        QStringLiteral("Documents\\TTKk_prom"),
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

// The value exactly as written in the store's file. Another program sharing
// the store may write a text with a comma unquoted ("ООО Ромашка, столовая"),
// which Qt reads as a list of texts; the stored text is the line's value.
std::optional<QString> storedLine(const QString& fileName, const QString& path)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const qsizetype slash = path.indexOf(u'/');
    const QString section = slash < 0 ? QStringLiteral("General") : path.left(slash);
    QString key = path.mid(slash + 1);
    key.replace(u'/', u'\\');
    QString current = QStringLiteral("General");
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current == section && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return std::nullopt;
}

QSettings store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kApplication);
}

} // namespace

namespace Setting {
const SettingKey FontSize{RegSection::UserInterface, QStringLiteral("Brastel.FontSize"),
                          QStringLiteral("24")};
const SettingKey ResizeStatus{RegSection::Data, QStringLiteral("QuorvelResizeStatus"), QStringLiteral("0")};
const SettingKey NamePOP{RegSection::User, QStringLiteral("Name_POP"), QString()};
} // namespace Setting

QString GetReg(int section, const QString& key, const QString& defaultValue)
{
    selectSection(section);
    const QSettings settings = store();
    const QVariant value = settings.value(settingsPath(key));
    if (!value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::QStringList) {
        // Quotes or escapes in such a line are Qt's to read; joined with the
        // comma it read them apart at, the text is as near as Qt can tell.
        const std::optional<QString> line = storedLine(settings.fileName(), settingsPath(key));
        if (line && !line->contains(u'"') && !line->contains(u'\\'))
            return *line;
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

bool SaveReg(int section, const QString& key, const QString& value)
{
    selectSection(section);
    QSettings settings = store();
    settings.setValue(settingsPath(key), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void SettingsStore::useFolder(const QString& folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    resetCurrentSection();
}

QString SettingsStore::currentSection()
{
    return currentSectionName();
}

void SettingsStore::resetCurrentSection()
{
    currentSectionName().clear();
}

QString SettingsStore::fileName()
{
    return store().fileName();
}
