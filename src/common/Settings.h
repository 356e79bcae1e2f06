#pragma once

#include <QString>

// The per-user settings store shared with the catering product: application
// "Ventaro", sections from a fixed table, text values.
namespace RegSection {
enum : int
{
    Data = 0,
    Documents = 1,
    Bl = 2,
    Prod = 3,
    MB = 4,
    Language = 5,
    Losses = 6,
    HelpSystem = 7,
    User = 8,
    UserInterface = 9,
    DocumentsTTK = 10,
    DocumentsTTKk = 11,
    DocumentsTK = 12,
    DocumentsTTKkProm = 13,
    DocumentsLabel = 14,
};
}

// Both calls first make section `section` current when it is 0..14; any other
// index keeps the section of the previous call (the product's programs rely on
// that rule). Before any valid call there is no section, and keys are then
// read and written at the top level of the application's store.
QString GetReg(int section, const QString& key, const QString& defaultValue);
// False when the store could not be written (a read-only store): the caller
// reports it.
bool SaveReg(int section, const QString& key, const QString& value);

// A setting the client uses, named once with its section and default.
struct SettingKey
{
    int section;
    QString key;
    QString defaultValue;

    QString get() const { return GetReg(section, key, defaultValue); }
    bool set(const QString& value) const { return SaveReg(section, key, value); }
};

namespace Setting {
extern const SettingKey FontSize;     // "Brastel.FontSize", UserInterface, "24"
extern const SettingKey ResizeStatus; // "QuorvelResizeStatus", Data, "0"
extern const SettingKey NamePOP;      // "Name_POP", User, ""
} // namespace Setting

class SettingsStore final
{
public:
    // Points the store at `folder` for this process and forgets the current
    // section: tests never touch the real user's settings.
    static void useFolder(const QString& folder);
    // The current section name, as the last valid call left it.
    static QString currentSection();
    static void resetCurrentSection();
    // The file the store reads and writes (for diagnostics and tests).
    static QString fileName();
};
