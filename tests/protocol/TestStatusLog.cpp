#include "protocol/StatusLog.h"

#include "protocol/StatusBox.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Mirrors what a real box would show, and counts full replacements.
class MirrorBox final : public StatusBox
{
public:
    void setText(const QString& text) override
    {
        shown = text;
        ++replacements;
        caretAtEnd = false;
    }
    void appendText(const QString& text) override
    {
        shown += text;
        caretAtEnd = false;
    }
    void removeText(const QString& before, const QString& removed) override
    {
        const bool there =
            shown.startsWith(before) && QStringView(shown).sliced(before.size()).startsWith(removed);
        shown = there ? shown.remove(before.size(), removed.size()) : u"cut of text the box does not hold"_s;
        caretAtEnd = false;
    }
    void moveCaretToEnd() override { caretAtEnd = true; }

    QString shown;
    int replacements = 0;
    bool caretAtEnd = false;
};

const QString kHeading = u"Лог сервера:\r\n"_s;

} // namespace

class TestStatusLog : public QObject
{
    Q_OBJECT

private slots:

    void appendsLines_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing yet") << QStringList{} << kHeading;
        // The heading already ends with a line break, so the first line follows an empty one.
        QTest::newRow("first line after an empty line")
            << QStringList{u"Подключаемся к серверу: 127.0.0.1 через порт 400"_s}
            << kHeading + u"\r\nПодключаемся к серверу: 127.0.0.1 через порт 400"_s;
        QTest::newRow("empty line") << QStringList{QString(), u"x"_s} << kHeading + u"\r\n\r\nx"_s;
        const QString overlong(StatusLog::kMaxLineChars + 10, u'x');
        QTest::newRow("overlong line cut")
            << QStringList{overlong, u"next"_s}
            << kHeading + u"\r\n"_s + overlong.left(StatusLog::kMaxLineChars) + u"…\r\nnext"_s;
    }
    void appendsLines()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, text);
        StatusLog log;
        for (const auto& line : lines)
            log.AddStatus(line);
        QCOMPARE(log.text(), text);
    }

    void boundDropsOldestLinesKeepsHeading()
    {
        const qsizetype bound = 1000;
        StatusLog log(bound);
        log.AddStatus(u"before the box"_s);
        MirrorBox box;
        log.setBox(&box);
        QCOMPARE(box.shown, log.text());
        QVERIFY(box.caretAtEnd);
        for (int i = 0; i < 500; ++i) {
            log.AddStatus(u"line %1"_s.arg(i, 4, 10, QChar(u'0')));
            QVERIFY(log.text().size() <= bound);
            QCOMPARE(box.shown, log.text());
            QVERIFY(box.caretAtEnd);
        }
        // Whole lines only, newest kept in order, none repeated.
        const QStringList lines = log.text().mid(kHeading.size()).split(u"\r\n"_s);
        QVERIFY(lines.size() > 50);
        for (qsizetype i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i], u"line %1"_s.arg(500 - lines.size() + i, 4, 10, QChar(u'0')));
        // Lines are appended; the whole text is given again only when trimmed, in steps.
        QVERIFY2(box.replacements < 30, qPrintable(QString::number(box.replacements)));
        // A last line longer than the rest of the bound is kept whole, alone.
        log.AddStatus(QString(900, u'w'));
        QCOMPARE(log.text(), kHeading + QString(900, u'w'));
        QCOMPARE(box.shown, log.text());
        log.setBox(nullptr);
        log.AddStatus(u"after"_s);
        QVERIFY(!box.shown.endsWith(u"after"_s));
    }
};

QTEST_APPLESS_MAIN(TestStatusLog)
#include "TestStatusLog.moc"
