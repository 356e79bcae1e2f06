#include "common/Settings.h"
#include "support/TempSettings.h"

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
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Ventaro"_s);
    }

private slots:
    void sharesTheProductsSections()
    {
        TempSettings temp;
        QCOMPARE(GetReg(RegSection::UserInterface, u"Brastel.FontSize"_s, u"24"_s), u"24"_s);
        QVERIFY(!QFile::exists(SettingsStore::fileName())); // reading creates nothing
        SaveReg(RegSection::UserInterface, u"Brastel.FontSize"_s, u"18"_s);
        QCOMPARE(GetReg(15, u"Brastel.FontSize"_s, QString()), u"18"_s); // 15 keeps UserInterface
        QCOMPARE(GetReg(RegSection::Data, u"Brastel.FontSize"_s, u"none"_s), u"none"_s);
        SaveReg(-1, u"k"_s, u" abc "_s); // still Data; neither trimmed nor checked
        SaveReg(RegSection::DocumentsTK, u"Width"_s, u"5"_s);
        QCOMPARE(shared().value(u"Data/k"_s).toString() + shared().value(u"Documents/TK/Width"_s).toString(),
                 u" abc 5"_s);
        shared().setValue(u"Data/QuorvelResizeStatus"_s, u"2"_s);
        shared().setValue(u"User/Name_POP"_s, u"Столовая №1"_s);
        QCOMPARE((QStringList{Setting::ResizeStatus.get(), Setting::NamePOP.get(), Setting::FontSize.get()}),
                 (QStringList{u"2"_s, u"Столовая №1"_s, u"18"_s}));
    }

    // As another program sharing the store writes it, the comma unquoted.
    void readsTextWithACommaAsWritten()
    {
        const std::pair<QString, QString> cases[] = {{u"ООО Ромашка, столовая"_s, u"ООО Ромашка, столовая"_s},
                                                     {u"a,b ,  c"_s, u"a,b ,  c"_s},
                                                     {u"\"a, b\""_s, u"a, b"_s},
                                                     {u"\"a\", b"_s, u"a, b"_s}};
        for (const auto& [line, read] : cases) {
            TempSettings temp;
            QFile file(SettingsStore::fileName());
            QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
            file.write("[User]\nName_POP=" + line.toUtf8() + "\n");
            file.close();
            QCOMPARE(Setting::NamePOP.get(), read);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"
