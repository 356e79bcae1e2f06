#include "common/Settings.h"

#include <QFile>
#include <QSettings>
#include <QStringList>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString kApplication = u"Ventaro"_s;

// Where a platform that keeps settings under a path of its own (the registry
// on Windows; the build names the key) holds the product's sections. Without
// one, the application name alone finds the store.
#ifdef QUORVEL_SETTINGS_KEY
const QString kNativeKey = QStringLiteral(QUORVEL_SETTINGS_KEY);
#else
const QString kNativeKey;
#endif

// Tests point the store at a folder, where only a file can be.
bool& inFolder()
{
    static bool folder = false;
    return folder;
}

QString& currentSectionName()
{
    static QString name;
    return name;
}

void selectSection(int section)
{
    static const QStringList names = {
        u"Data"_s,
        u"Documents"_s,
        u"Bl"_s,
        u"Prod"_s,
        u"MB"_s,
        u"Language"_s,
        u"Losses"_s,
        u"HelpSystem"_s,
        u"User"_s,
        u"UserInterface"_s,
        u"Documents\\TTK"_s,
        u"Documents\\TTKk"_s,
        u"Documents\\TK"_s,
        u"Documents\\TTKk_prom"_s,
        u"Documents\\Label"_s,
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
    const QString section = slash < 0 ? u"General"_s : path.left(slash);
    QString key = path.mid(slash + 1);
    key.replace(u'/', u'\\');
    QString current = u"General"_s;
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
    if (kNativeKey.isEmpty())
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, kApplication);
    if (inFolder())
        return QSettings(QSettings::IniFormat, QSettings::UserScope, kApplication);
    return QSettings(kNativeKey, QSettings::NativeFormat);
}

} // namespace

namespace Setting {
const SettingKey FontSize{RegSection::UserInterface, u"Brastel.FontSize"_s, u"24"_s};
const SettingKey ResizeStatus{RegSection::Data, u"QuorvelResizeStatus"_s, u"0"_s};
const SettingKey NamePOP{RegSection::User, u"Name_POP"_s, QString()};
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
        return value.toStringList().join(u", "_s);
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
    inFolder() = true;
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
