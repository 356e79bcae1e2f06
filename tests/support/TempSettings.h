#pragma once

#include <QTemporaryDir>

// Points the settings store at a fresh temporary folder for as long as it
// lives, so no test reads or writes the real user's settings.
class TempSettings final
{
public:
    TempSettings();
    ~TempSettings();
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};
