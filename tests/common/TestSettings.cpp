#include "Settings.h"
#include "TempSettings.h"

#include <QFile>
#include <QSettings>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void freshStoreGivesDefaultsAndCreatesNothing()
    {
        TempSettings temp;
        QCOMPARE(GetReg(RegSection::UserInterface, u"Brastel.FontSize"_qs, u"24"_qs), u"24"_qs);
        QCOMPARE(Setting::NamePOP.get(), QString());
        QVERIFY(SettingsStore::fileName().startsWith(temp.folder()));
        QVERIFY(!QFile::exists(SettingsStore::fileName()));
    }

    void savedValueIsReadBackAsText()
    {
        TempSettings temp;
        SaveReg(RegSection::UserInterface, u"Brastel.FontSize"_qs, u"18"_qs);
        QCOMPARE(GetReg(RegSection::UserInterface, u"Brastel.FontSize"_qs, u"24"_qs), u"18"_qs);
        // Not trimmed, not validated.
        Setting::FontSize.set(u" abc "_qs);
        QCOMPARE(Setting::FontSize.get(), u" abc "_qs);
        // Another section does not see it.
        QCOMPARE(GetReg(RegSection::Data, u"Brastel.FontSize"_qs, u"none"_qs), u"none"_qs);
    }

    void indexOutsideTableKeepsCurrentSection()
    {
        TempSettings temp;
        SaveReg(RegSection::UserInterface, u"k"_qs, u"v"_qs);
        QCOMPARE(GetReg(15, u"k"_qs, QString()), u"v"_qs);
        SaveReg(-1, u"k2"_qs, u"w"_qs);
        QCOMPARE(SettingsStore::currentSection(), u"UserInterface"_qs);
        QCOMPARE(GetReg(RegSection::UserInterface, u"k2"_qs, QString()), u"w"_qs);
    }

    void subsectionsAreNestedGroups()
    {
        TempSettings temp;
        SaveReg(RegSection::DocumentsTK, u"Width"_qs, u"5"_qs);
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_qs);
        QCOMPARE(raw.value(u"Documents/TK/Width"_qs).toString(), u"5"_qs);
        QCOMPARE(GetReg(RegSection::Documents, u"TK/Width"_qs, QString()), u"5"_qs);
    }

    void clientSettingsHaveTheirSectionsAndDefaults()
    {
        TempSettings temp;
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_qs);
        raw.setValue(u"Data/QuorvelResizeStatus"_qs, u"2"_qs);
        raw.setValue(u"User/Name_POP"_qs, u"Столовая №1"_qs);
        raw.sync();
        QCOMPARE(Setting::ResizeStatus.get(), u"2"_qs);
        QCOMPARE(Setting::NamePOP.get(), u"Столовая №1"_qs);
        QCOMPARE(Setting::FontSize.get(), u"24"_qs);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"
