#pragma once

#include "common/Settings.h"

#include <QStandardPaths>
#include <QTemporaryDir>

// Points the settings store at a fresh temporary folder for as long as it
// lives, so no test reads or writes the real user's settings.
class TempSettings final
{
    Q_DISABLE_COPY_MOVE(TempSettings)

public:
    TempSettings()
    {
        QStandardPaths::setTestModeEnabled(true);
        SettingsStore::useFolder(m_dir.path());
    }
    // Anything still holding the store is left at a folder that is gone, not the user's.
    ~TempSettings() { SettingsStore::useFolder(m_dir.path() + QStringLiteral("/gone")); }

    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};
