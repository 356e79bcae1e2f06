#include "protocol/StatusLog.h"

#include "protocol/PlainTextStatusBox.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The real box, counting the times it is given the whole text anew.
class CountingBox final : public StatusBox
{
public:
    explicit CountingBox(QPlainTextEdit* edit) : m_box(edit) {}
    void setText(const QString& text) override
    {
        ++replacements;
        m_box.setText(text);
    }
    void appendText(const QString& text) override { m_box.appendText(text); }
    void removeText(const QString& before, const QString& removed) override
    {
        m_box.removeText(before, removed);
    }
    void moveCaretToEnd() override { m_box.moveCaretToEnd(); }

    int replacements = 0;

private:
    PlainTextStatusBox m_box;
};

const QString kHeading = u"Лог сервера:\r\n"_s;

} // namespace

// The status log and the box that shows it.
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

    // Trimmed while shown: whole lines go from the front, the heading stays. The box follows
    // line by line with the caret at the end, and is given the whole text only now and then.
    void boundDropsOldestLinesKeepsHeading()
    {
        const qsizetype bound = 1000;
        StatusLog log(bound);
        log.AddStatus(u"before the box"_s);
        QPlainTextEdit edit;
        CountingBox box(&edit);
        log.setBox(&box);
        const auto shown = [&] {
            return edit.toPlainText() == PlainTextStatusBox::displayText(log.text()) &&
                   edit.textCursor().position() == edit.document()->characterCount() - 1;
        };
        QVERIFY(shown());
        for (int i = 0; i < 500; ++i) {
            edit.moveCursor(QTextCursor::Start);
            // A lone CR from the server ends a shown line too.
            log.AddStatus(u"line %1\r"_s.arg(i, 4, 10, QChar(u'0')));
            QVERIFY(log.text().size() <= bound);
            QVERIFY(shown());
        }
        // Whole lines only, newest kept in order, none repeated.
        const QStringList lines = log.text().mid(kHeading.size()).split(u"\r\n"_s);
        QVERIFY(lines.size() > 50);
        for (qsizetype i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i], u"line %1\r"_s.arg(500 - lines.size() + i, 4, 10, QChar(u'0')));
        QCOMPARE(box.replacements, 1); // when it was set: since then appended to and cut
        // Held and released in bursts, cutting both lines the box holds and lines it never had.
        for (int i = 0; i < 200; ++i) {
            if (i % 20 == 0)
                log.holdBox();
            log.AddStatus(u"burst line %1"_s.arg(i, i % 3 ? 1 : 60));
            if (i % 20 == 19) {
                log.releaseBox();
                QVERIFY(shown());
            }
        }
        // A last line longer than the rest of the bound is kept whole, alone.
        log.AddStatus(QString(900, u'w'));
        QCOMPARE(log.text(), kHeading + QString(900, u'w'));
        QVERIFY(shown());
        log.setBox(nullptr);
        log.AddStatus(u"after"_s);
        QVERIFY(!edit.toPlainText().endsWith(u"after"_s));
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("cr crlf") << u"a\r\r\nb"_s << u"a\n\nb"_s;
        QTest::newRow("markup stays text")
            << u"<b>x</b> &amp; <img src=y>"_s << u"<b>x</b> &amp; <img src=y>"_s;
    }
    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(PlainTextStatusBox::displayText(text), shown);
        QPlainTextEdit edit;
        PlainTextStatusBox box(&edit);
        box.appendText(text);
        QCOMPARE(edit.toPlainText(), shown);
    }
};

QTEST_MAIN(TestStatusLog)
#include "TestStatusLog.moc"
