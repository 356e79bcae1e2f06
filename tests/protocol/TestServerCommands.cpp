#include "protocol/ServerCommands.h"

#include "common/Dialogs.h"
#include "protocol/ProtocolWords.h"
#include "protocol/StatusLog.h"
#include "support/RecordingLink.h"
#include "support/ScriptedDialogs.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The letter cases a reply word may arrive in.
const char* const kCases[] = {"as listed", "upper", "lower", "alternating"};

QString inCase(const QString& word, int letterCase)
{
    QString s = letterCase == 1 ? word.toUpper() : letterCase == 2 ? word.toLower() : word;
    for (qsizetype i = 0; letterCase == 3 && i < s.size(); ++i)
        s[i] = i % 2 ? s[i].toUpper() : s[i].toLower();
    return s;
}

// What one message asked for, in order; no target stands for no window to hand payloads to.
QStringList parse(const QString& message, bool withTarget = true)
{
    RecordingLink log;
    ParseServerCommand(message, withTarget ? &log : nullptr, log);
    return log.calls;
}

} // namespace

class TestServerCommands : public QObject
{
    Q_OBJECT

private slots:

    void routesPayloads_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("withTarget");
        const QString payload = u"Хлеб<TB>1<EB>Суп<Str>a<Sc>b"_s;
        const QList<std::pair<QString, QStringList>> routes{
            {Proto::BB, {u"form_Bases_Bl:"_s + payload}},
            {Proto::Dishes, {u"form_Dishes_Bl:"_s + payload}},
            {Proto::HSDishes, {u"status:Получили ХС рецептуры... "_s, u"receiveComposition:"_s + payload}},
            {Proto::Man_Norm, {u"receiveNorm:"_s + payload}},
            {Proto::Girl_Norm, {u"receiveNorm:"_s + payload}},
        };
        for (const auto& [word, calls] : routes)
            for (int letterCase = 0; letterCase < 4; ++letterCase)
                QTest::addRow("%s %s", qPrintable(word), kCases[letterCase])
                    << inCase(word, letterCase) + payload << calls << true;

        // The payload keeps its own letters; only the word is compared blind to case.
        QTest::newRow("payload case kept") << u"$bb=AbC"_s << QStringList{u"form_Bases_Bl:AbC"_s} << true;
        QTest::newRow("empty payload") << u"$Dishes="_s << QStringList{u"form_Dishes_Bl:"_s} << true;
        // "$HSDishes=" is tested before "$Dishes=", so it is never taken for a dish list.
        QTest::newRow("composition not a dish list")
            << u"$HSDISHES=x"_s
            << QStringList{u"status:Получили ХС рецептуры... "_s, u"receiveComposition:x"_s} << true;
        // The first matching word decides, even when the payload starts with another.
        QTest::newRow("catalogue carrying a word")
            << u"$BB=$Dishes=x"_s << QStringList{u"form_Bases_Bl:$Dishes=x"_s} << true;
        QTest::newRow("norm carrying the no-norm word")
            << u"$Man_Norm=$No_Fiz_NormDB"_s << QStringList{u"receiveNorm:$No_Fiz_NormDB"_s} << true;
        const QString unknown = u"status:Неизвестная команда сервера: "_s;
        for (const QString& message : {QString(), u"$No_Fiz_NormDB "_s, u"$No_Fiz_Norm"_s, Proto::No_Dishes,
                                       u"$Man_Norm"_s, u" $BB=x"_s})
            QTest::addRow("unknown '%s'", qPrintable(message))
                << message << QStringList{unknown + message} << true;
        // With no window to take them, payloads are dropped; the log lines stay.
        for (const QString& word : {Proto::BB, Proto::Dishes, Proto::Man_Norm})
            QTest::addRow("no target %s", qPrintable(word)) << word + u"x"_s << QStringList{} << false;
        QTest::newRow("no target composition")
            << u"$HSDishes=x"_s << QStringList{u"status:Получили ХС рецептуры... "_s} << false;
    }
    void routesPayloads()
    {
        QFETCH(QString, message);
        QFETCH(bool, withTarget);
        ScriptedDialogs dialogs;
        QFETCH(QStringList, calls);
        QCOMPARE(parse(message, withTarget), calls);
        QCOMPARE(isUnknownCommand(message), calls.value(0).startsWith(u"status:Неизвестная"_s));
        QVERIFY(dialogs.boxes().isEmpty());
    }

    void showsBoxes_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        const QString noNorms =
            u"На сервере нет базы физиологических норм! \rОбновите программу, чтобы использовать эту функцию."_s;
        for (int letterCase = 0; letterCase < 4; ++letterCase) {
            QTest::addRow("mess %s", kCases[letterCase])
                << inCase(Proto::Mess, letterCase) + u"Сервер закрывается в 18:00"_s
                << u"Сервер закрывается в 18:00"_s << int(Dialogs::Icon::Information);
            QTest::addRow("no norms %s", kCases[letterCase])
                << inCase(Proto::No_Fiz_NormDB, letterCase) << noNorms << int(Dialogs::Icon::None);
        }
        QTest::newRow("mess alone shows an empty box")
            << u"$Mess="_s << QString() << int(Dialogs::Icon::Information);
        QTest::newRow("mess keeps line breaks and words")
            << u"$MESS=a\r$BB=b"_s << u"a\r$BB=b"_s << int(Dialogs::Icon::Information);
    }
    void showsBoxes()
    {
        QFETCH(QString, message);
        QFETCH(QString, text);
        QFETCH(int, icon);
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        const QStringList calls = parse(message);
        QCOMPARE(dialogs.boxes().size(), 1);
        const Dialogs::Box box = dialogs.boxes().first();
        QCOMPARE(box.text, text);
        QCOMPARE(int(box.icon), icon);
        QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
        // A norm request answered without a table: the fitness side stops waiting for one.
        QCOMPARE(calls, icon == int(Dialogs::Icon::None) ? QStringList{u"noNormTable"_s} : QStringList());
    }

    void longMessIsCutForItsBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        // An administrator's notice of 60 lines, nearly 4 000 characters, is shown whole.
        const QString notice = QString(65, u'щ') + u"\r\n"_s;
        QTest::newRow("60 lines whole") << notice.repeated(59) + u"x"_s << notice.repeated(59) + u"x"_s;
        QTest::newRow("61st line cut")
            << u"x\r\n"_s.repeated(60) + u"y"_s
            << u"x\r"_s.repeated(59) + u"x\r…\r"_s + ServerCommandTexts::messLeftOut(1, 181);
        QTest::newRow("1 MB in one word")
            << QString(1 << 20, u'Ш')
            << QString(kMessShownChars, u'Ш') + u"\r…\r"_s +
                   ServerCommandTexts::messLeftOut((1 << 20) - kMessShownChars, 1 << 20);
    }

    // The box shows the start (to fit a screen); the log gets the text up to its line bound.
    void longMessIsCutForItsBox()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        RecordingLink log;
        ParseServerCommand(Proto::Mess + text, nullptr, log);
        QCOMPARE(dialogs.boxTexts(), QStringList{shown});
        const QStringList logged{u"status:Сообщение сервера: "_s + text.left(StatusLog::kMaxLineChars + 1)};
        QCOMPARE(log.calls, shown == text ? QStringList() : logged);
    }
};

QTEST_MAIN(TestServerCommands)
#include "TestServerCommands.moc"
