#include "Settings.h"
#include "TempSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

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

    // As another program sharing the store writes it, the comma unquoted.
    void readsTextWithACommaAsWritten_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("read");
        QTest::newRow("unquoted comma") << u"ООО Ромашка, столовая"_s << u"ООО Ромашка, столовая"_s;
        QTest::newRow("no blank") << u"a,b ,  c"_s << u"a,b ,  c"_s;
        QTest::newRow("quoted") << u"\"a, b\""_s << u"a, b"_s;
        QTest::newRow("quoted part") << u"\"a\", b"_s << u"a, b"_s;
    }

    void readsTextWithACommaAsWritten()
    {
        QFETCH(QString, line);
        TempSettings temp;
        QFile file(SettingsStore::fileName());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
        file.write("[User]\nName_POP=" + line.toUtf8() + "\n");
        file.close();
        QTEST(Setting::NamePOP.get(), "read");
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"
