#include "ServerCommands.h"

#include "Dialogs.h"
#include "ProtocolWords.h"
#include "Recorders.h"
#include "ScriptedDialogs.h"
#include "StatusLog.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

// The letter cases a reply word may arrive in.
QList<std::pair<const char*, QString (*)(const QString&)>> letterCases()
{
    return {
        {"as listed", [](const QString& w) { return w; }},
        {"upper", [](const QString& w) { return w.toUpper(); }},
        {"lower", [](const QString& w) { return w.toLower(); }},
        {"alternating",
         [](const QString& w) {
             QString s = w;
             for (qsizetype i = 0; i < s.size(); ++i)
                 s[i] = i % 2 ? s[i].toUpper() : s[i].toLower();
             return s;
         }},
    };
}

} // namespace

class TestServerCommands : public QObject
{
    Q_OBJECT

private slots:
    void routesPayloads_data();
    void routesPayloads();
    void showsBoxes_data();
    void showsBoxes();
    void logsUnknownMessages_data();
    void logsUnknownMessages();
    void compositionLineComesBeforeTheHandOver();
    void noTargetDropsPayloads_data();
    void noTargetDropsPayloads();
    void serverTextIsShownAsPlainText();
    void longMessIsCutForItsBox_data();
    void longMessIsCutForItsBox();
};

void TestServerCommands::routesPayloads_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("calls");
    const QString payload = u"Хлеб<TB>1<EB>Суп<Str>a<Sc>b"_qs;
    const QList<std::pair<QString, QStringList>> routes{
        {Proto::BB, {u"form_Bases_Bl:"_qs + payload}},
        {Proto::Dishes, {u"form_Dishes_Bl:"_qs + payload}},
        {Proto::HSDishes, {u"status:Получили ХС рецептуры... "_qs, u"receiveComposition:"_qs + payload}},
        {Proto::Man_Norm, {u"receiveNorm:"_qs + payload}},
        {Proto::Girl_Norm, {u"receiveNorm:"_qs + payload}},
    };
    for (const auto& [word, calls] : routes)
        for (const auto& [caseName, transform] : letterCases())
            QTest::addRow("%s %s", qPrintable(word), caseName) << transform(word) + payload << calls;

    // The payload keeps its own letters; only the word is compared blind to case.
    QTest::newRow("payload case kept") << u"$bb=AbC"_qs << QStringList{u"form_Bases_Bl:AbC"_qs};
    QTest::newRow("empty payload") << u"$Dishes="_qs << QStringList{u"form_Dishes_Bl:"_qs};
    QTest::newRow("no dishes value") << u"$Dishes=$NO_DISHES"_qs
                                     << QStringList{u"form_Dishes_Bl:$NO_DISHES"_qs};
    // "$HSDishes=" is tested before "$Dishes=", so it is never taken for a dish list.
    QTest::newRow("composition not a dish list")
        << u"$HSDISHES=x"_qs
        << QStringList{u"status:Получили ХС рецептуры... "_qs, u"receiveComposition:x"_qs};
    // The first matching word decides, even when the payload starts with another.
    QTest::newRow("catalogue carrying a word")
        << u"$BB=$Dishes=x"_qs << QStringList{u"form_Bases_Bl:$Dishes=x"_qs};
    QTest::newRow("norm carrying the no-norm word")
        << u"$Man_Norm=$No_Fiz_NormDB"_qs << QStringList{u"receiveNorm:$No_Fiz_NormDB"_qs};
    QTest::newRow("terminator-like text in payload") << u"$BB=<ґ>"_qs << QStringList{u"form_Bases_Bl:<ґ>"_qs};
}

void TestServerCommands::routesPayloads()
{
    QFETCH(QString, message);
    QFETCH(QStringList, calls);
    ScriptedDialogs dialogs;
    CallLog log;
    RecordingTarget target(log);
    RecordingLink link(log);
    QVERIFY(!isUnknownCommand(message));
    ParseServerCommand(message, &target, link);
    QCOMPARE(log.calls, calls);
    QVERIFY(dialogs.boxes().isEmpty());
}

void TestServerCommands::showsBoxes_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    const QString noNorms =
        u"На сервере нет базы физиологических норм! \rОбновите программу, чтобы использовать эту функцию."_qs;
    for (const auto& [caseName, transform] : letterCases()) {
        QTest::addRow("mess %s", caseName)
            << transform(Proto::Mess) + u"Сервер закрывается в 18:00"_qs << u"Сервер закрывается в 18:00"_qs
            << int(Dialogs::Icon::Information);
        QTest::addRow("no norms %s", caseName)
            << transform(Proto::No_Fiz_NormDB) << noNorms << int(Dialogs::Icon::None);
    }
    QTest::newRow("mess alone shows an empty box")
        << u"$Mess="_qs << QString() << int(Dialogs::Icon::Information);
    QTest::newRow("mess keeps line breaks and words")
        << u"$MESS=a\r$BB=b"_qs << u"a\r$BB=b"_qs << int(Dialogs::Icon::Information);
}

void TestServerCommands::showsBoxes()
{
    QFETCH(QString, message);
    QFETCH(QString, text);
    QFETCH(int, icon);
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    CallLog log;
    RecordingTarget target(log);
    RecordingLink link(log);
    ParseServerCommand(message, &target, link);
    QCOMPARE(dialogs.boxes().size(), 1);
    const Dialogs::Box box = dialogs.boxes().first();
    QCOMPARE(box.text, text);
    QCOMPARE(int(box.icon), icon);
    QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(box.title, u"Quorvel"_qs);
    QVERIFY2(log.calls.isEmpty(), qPrintable(log.calls.join(u'|')));
}

void TestServerCommands::logsUnknownMessages_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("empty message") << QString();
    QTest::newRow("no-norm word with more text") << u"$No_Fiz_NormDB "_qs;
    QTest::newRow("no-norm word with a payload") << u"$NO_FIZ_NORMDB=1"_qs;
    QTest::newRow("no-norm word cut short") << u"$No_Fiz_Norm"_qs;
    QTest::newRow("words the client does not handle") << Proto::No_Dishes;
    QTest::newRow("error of inquiry") << Proto::Err_inquiry;
    QTest::newRow("a request word") << Proto::GetDishTables;
    QTest::newRow("word without its equals sign") << u"$Man_Norm"_qs;
    QTest::newRow("word with a blank in front") << u" $BB=x"_qs;
    QTest::newRow("shorter than any word") << u"$"_qs;
    QTest::newRow("plain text") << u"Привет"_qs;
    QTest::newRow("markup") << u"<b>bold</b>"_qs;
}

void TestServerCommands::logsUnknownMessages()
{
    QFETCH(QString, message);
    ScriptedDialogs dialogs;
    CallLog log;
    RecordingTarget target(log);
    RecordingLink link(log);
    QVERIFY(isUnknownCommand(message));
    ParseServerCommand(message, &target, link);
    QCOMPARE(log.calls, QStringList{u"status:Неизвестная команда сервера: "_qs + message});
    QVERIFY(dialogs.boxes().isEmpty());
}

void TestServerCommands::compositionLineComesBeforeTheHandOver()
{
    ScriptedDialogs dialogs;
    CallLog log;
    RecordingTarget target(log);
    RecordingLink link(log);
    QStringList seenAtHandOver;
    target.onCall = [&](const QString&) { seenAtHandOver = log.calls; };
    ParseServerCommand(u"$HSDishes=1<Sc>2<Str>Батон<Sc>100"_qs, &target, link);
    QCOMPARE(seenAtHandOver.first(), u"status:Получили ХС рецептуры... "_qs);
    QCOMPARE(log.calls.size(), 2);
}

void TestServerCommands::noTargetDropsPayloads_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("catalogue") << u"$BB=x"_qs << QStringList{};
    QTest::newRow("dishes") << u"$Dishes=x"_qs << QStringList{};
    QTest::newRow("composition still logged")
        << u"$HSDishes=x"_qs << QStringList{u"status:Получили ХС рецептуры... "_qs};
    QTest::newRow("men") << u"$Man_Norm=x"_qs << QStringList{};
    QTest::newRow("women") << u"$Girl_Norm=x"_qs << QStringList{};
    QTest::newRow("unknown still logged")
        << u"?"_qs << QStringList{u"status:Неизвестная команда сервера: ?"_qs};
}

void TestServerCommands::noTargetDropsPayloads()
{
    QFETCH(QString, message);
    QFETCH(QStringList, calls);
    ScriptedDialogs dialogs;
    CallLog log;
    RecordingLink link(log);
    ParseServerCommand(message, nullptr, link);
    QCOMPARE(log.calls, calls);
}

void TestServerCommands::serverTextIsShownAsPlainText()
{
    const QString html = u"<h1>Внимание</h1><a href=\"http://example.invalid\">link</a><img src=x>&amp;"_qs;
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    CallLog log;
    RecordingLink link(log);
    ParseServerCommand(Proto::Mess + html, nullptr, link);
    QCOMPARE(dialogs.boxes().size(), 1);
    QCOMPARE(dialogs.boxes().first().text, html);

    // And the real box built for it shows the markup as characters.
    std::unique_ptr<QMessageBox> box(Dialogs::createMessageBox(dialogs.boxes().first()));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->text(), html);
    auto* label = box->findChild<QLabel*>(u"qt_msgbox_label"_qs);
    QVERIFY(label);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(label->text(), html);
    QVERIFY(!label->openExternalLinks());
}

void TestServerCommands::longMessIsCutForItsBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown"); // "…" alone: cut, checked below
    const QString cut = u"…"_qs;
    QTest::newRow("20 lines whole") << u"x\n"_qs.repeated(19) + u"x"_qs << u"x\n"_qs.repeated(19) + u"x"_qs;
    QTest::newRow("21st line cut") << u"x\r\n"_qs.repeated(20) + u"y"_qs
                                   << u"x\r"_qs.repeated(19) + u"x\r…\r"_qs +
                                          ServerCommandTexts::messLeftOut(1, 61);
    QTest::newRow("1 MB of short lines") << u"строка сообщения\n"_qs.repeated(60000) << cut;
    QTest::newRow("1 MB in one word") << QString(1 << 20, u'Ш') << cut;
    QTest::newRow("1 MB of words") << u"слово "_qs.repeated(200000) << cut;
}

// The box shows the start, fits the screen, and the log gets the text as
// far as its line bound allows.
void TestServerCommands::longMessIsCutForItsBox()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    ScriptedDialogs dialogs;
    dialogs.expectBox();
    CallLog log;
    RecordingLink link(log);
    ParseServerCommand(Proto::Mess + text, nullptr, link);
    const QString boxText = dialogs.boxTexts().value(0);
    if (shown != u"…"_qs) {
        QCOMPARE(boxText, shown);
    } else {
        const QString start = boxText.section(u"\r…\r"_qs, 0, 0);
        QVERIFY(start.size() <= kMessShownChars + kMessShownLines);
        QVERIFY(boxText.contains(u"\r…\rПоказано начало сообщения: не показано знаков — "_qs));
        QVERIFY(text.startsWith(start.section(u'\r', 0, 0)));
    }
    if (boxText == text)
        QVERIFY(log.calls.isEmpty());
    else
        QCOMPARE(log.calls,
                 QStringList{u"status:Сообщение сервера: "_qs + text.left(StatusLog::kMaxLineChars + 1)});

    std::unique_ptr<QMessageBox> box(Dialogs::createMessageBox(dialogs.boxes().value(0)));
    box->show();
    const QSize screen = box->screen()->availableGeometry().size();
    QVERIFY2(box->geometry().width() <= screen.width() && box->geometry().height() <= screen.height(),
             qPrintable(u"%1x%2"_qs.arg(box->geometry().width()).arg(box->geometry().height())));
}

QTEST_MAIN(TestServerCommands)
#include "TestServerCommands.moc"
