#include "Settings.h"
#include "TempSettings.h"

#include <QFile>
#include <QSettings>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

    // The store as the catering product's other programs see it.
    static QSettings shared()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_qs);
    }

private slots:
    void savesAndReadsTextInTheCurrentSection()
    {
        TempSettings temp;
        QCOMPARE(GetReg(RegSection::UserInterface, u"Brastel.FontSize"_qs, u"24"_qs), u"24"_qs);
        QVERIFY(!QFile::exists(SettingsStore::fileName())); // reading creates nothing
        SaveReg(RegSection::UserInterface, u"Brastel.FontSize"_qs, u"18"_qs);
        QCOMPARE(GetReg(RegSection::UserInterface, u"Brastel.FontSize"_qs, u"24"_qs), u"18"_qs);
        QCOMPARE(GetReg(15, u"Brastel.FontSize"_qs, QString()), u"18"_qs); // 15 keeps UserInterface
        QCOMPARE(GetReg(RegSection::Data, u"Brastel.FontSize"_qs, u"none"_qs), u"none"_qs);
        SaveReg(-1, u"k"_qs, u" abc "_qs); // still Data; neither trimmed nor checked
        QCOMPARE(shared().value(u"Data/k"_qs).toString(), u" abc "_qs);
    }

    void sharesTheProductsSectionsAndSubsections()
    {
        TempSettings temp;
        SaveReg(RegSection::DocumentsTK, u"Width"_qs, u"5"_qs);
        QCOMPARE(shared().value(u"Documents/TK/Width"_qs).toString(), u"5"_qs);
        {
            QSettings product = shared();
            product.setValue(u"Data/QuorvelResizeStatus"_qs, u"2"_qs);
            product.setValue(u"User/Name_POP"_qs, u"Столовая №1"_qs);
        }
        QCOMPARE(Setting::ResizeStatus.get(), u"2"_qs);
        QCOMPARE(Setting::NamePOP.get(), u"Столовая №1"_qs);
        QCOMPARE(Setting::FontSize.get(), u"24"_qs);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"
