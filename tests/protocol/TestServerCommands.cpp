#include "protocol/ServerCommands.h"

#include "common/Dialogs.h"
#include "protocol/ProtocolWords.h"
#include "protocol/Recorders.h"
#include "protocol/StatusLog.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include <memory>

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

// Parses one message with its payloads, log lines and requests recorded in
// one ordered list; a null target stands for no window to hand payloads to.
QStringList parse(const QString& message, bool withTarget = true)
{
    Recorder log;
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
        QTest::newRow("no dishes value")
            << u"$Dishes=$NO_DISHES"_s << QStringList{u"form_Dishes_Bl:$NO_DISHES"_s} << true;
        // "$HSDishes=" is tested before "$Dishes=", so it is never taken for a dish list.
        QTest::newRow("composition not a dish list")
            << u"$HSDISHES=x"_s
            << QStringList{u"status:Получили ХС рецептуры... "_s, u"receiveComposition:x"_s} << true;
        // The first matching word decides, even when the payload starts with another.
        QTest::newRow("catalogue carrying a word")
            << u"$BB=$Dishes=x"_s << QStringList{u"form_Bases_Bl:$Dishes=x"_s} << true;
        QTest::newRow("norm carrying the no-norm word")
            << u"$Man_Norm=$No_Fiz_NormDB"_s << QStringList{u"receiveNorm:$No_Fiz_NormDB"_s} << true;
        QTest::newRow("terminator-like text in payload")
            << u"$BB=<ґ>"_s << QStringList{u"form_Bases_Bl:<ґ>"_s} << true;
        const QString unknown = u"status:Неизвестная команда сервера: "_s;
        for (const QString& message :
             {QString(), u"$No_Fiz_NormDB "_s, u"$NO_FIZ_NORMDB=1"_s, u"$No_Fiz_Norm"_s, Proto::No_Dishes,
              Proto::Err_inquiry, Proto::GetDishTables, u"$Man_Norm"_s, u" $BB=x"_s, u"$"_s,
              u"<b>bold</b>"_s})
            QTest::addRow("unknown '%s'", qPrintable(message))
                << message << QStringList{unknown + message} << true;
        // With no window to take them, payloads are dropped; the log lines stay.
        for (const QString& word : {Proto::BB, Proto::Dishes, Proto::Man_Norm, Proto::Girl_Norm})
            QTest::addRow("no target %s", qPrintable(word)) << word + u"x"_s << QStringList{} << false;
        QTest::newRow("no target composition")
            << u"$HSDishes=x"_s << QStringList{u"status:Получили ХС рецептуры... "_s} << false;
        QTest::newRow("no target unknown") << u"?"_s << QStringList{unknown + u"?"_s} << false;
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
        // Server text reaches the box as it came, and the box takes it as plain text.
        const QString html =
            u"<h1>Внимание</h1><a href=\"http://example.invalid\">link</a><img src=x>&amp;"_s;
        QTest::newRow("markup is text") << Proto::Mess + html << html << int(Dialogs::Icon::Information);
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
        QCOMPARE(box.title, u"Quorvel"_s);
        QCOMPARE(std::unique_ptr<QMessageBox>(Dialogs::createMessageBox(box))->textFormat(), Qt::PlainText);
        QVERIFY2(calls.isEmpty(), qPrintable(calls.join(u'|')));
    }

    void longMessIsCutForItsBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // "…" alone: cut, checked below
        const QString cut = u"…"_s;
        QTest::newRow("20 lines whole") << u"x\n"_s.repeated(19) + u"x"_s << u"x\n"_s.repeated(19) + u"x"_s;
        QTest::newRow("21st line cut")
            << u"x\r\n"_s.repeated(20) + u"y"_s
            << u"x\r"_s.repeated(19) + u"x\r…\r"_s + ServerCommandTexts::messLeftOut(1, 61);
        QTest::newRow("1 MB of short lines") << u"строка сообщения\n"_s.repeated(60000) << cut;
        QTest::newRow("1 MB in one word") << QString(1 << 20, u'Ш') << cut;
        QTest::newRow("1 MB of words") << u"слово "_s.repeated(200000) << cut;
    }

    // The box shows the start, fits the screen, and the log gets the text as
    // far as its line bound allows.
    void longMessIsCutForItsBox()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        Recorder log;
        ParseServerCommand(Proto::Mess + text, nullptr, log);
        const QString boxText = dialogs.boxTexts().value(0);
        if (shown != u"…"_s) {
            QCOMPARE(boxText, shown);
        } else {
            const QString start = boxText.section(u"\r…\r"_s, 0, 0);
            QVERIFY(start.size() <= kMessShownChars + kMessShownLines);
            QVERIFY(boxText.contains(u"\r…\rПоказано начало сообщения: не показано знаков — "_s));
            QVERIFY(text.startsWith(start.section(u'\r', 0, 0)));
        }
        if (boxText == text)
            QVERIFY(log.calls.isEmpty());
        else
            QCOMPARE(log.calls,
                     QStringList{u"status:Сообщение сервера: "_s + text.left(StatusLog::kMaxLineChars + 1)});

        std::unique_ptr<QMessageBox> box(Dialogs::createMessageBox(dialogs.boxes().value(0)));
        box->show();
        const QSize screen = box->screen()->availableGeometry().size();
        QVERIFY2(box->geometry().width() <= screen.width() && box->geometry().height() <= screen.height(),
                 qPrintable(u"%1x%2"_s.arg(box->geometry().width()).arg(box->geometry().height())));
    }
};

QTEST_MAIN(TestServerCommands)
#include "TestServerCommands.moc"
