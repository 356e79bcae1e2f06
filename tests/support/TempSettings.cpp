#include "TempSettings.h"

#include "Settings.h"

#include <QStandardPaths>

TempSettings::TempSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    SettingsStore::useFolder(m_dir.path());
}

TempSettings::~TempSettings()
{
    // Anything still holding the store after this points at a folder that no
    // longer exists, never at the user's own.
    SettingsStore::useFolder(m_dir.path() + QStringLiteral("/gone"));
}
