#include "support/TempSettings.h"

#include "common/Settings.h"

#include <QStandardPaths>

using namespace Qt::StringLiterals;

TempSettings::TempSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    SettingsStore::useFolder(m_dir.path());
}

TempSettings::~TempSettings()
{
    // Anything still holding the store after this points at a folder that no
    // longer exists, never at the user's own.
    SettingsStore::useFolder(m_dir.path() + u"/gone"_s);
}
