#include "PictureCanvas.h"
#include "RecordingCanvas.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

// Dark pixels of the picture played onto a white image of the page.
int inkIn(const QPicture& picture, const QRect& area)
{
    QImage image(ReportCanvas::kPageWidth, ReportCanvas::kPageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.drawPicture(0, 0, picture);
    }
    int ink = 0;
    for (int y = qMax(area.top(), 0); y <= qMin(area.bottom(), image.height() - 1); ++y)
        for (int x = qMax(area.left(), 0); x <= qMin(area.right(), image.width() - 1); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++ink;
    return ink;
}

} // namespace

class TestReportCanvas : public QObject
{
    Q_OBJECT

private slots:
    void timesNewRomanResolvesToASerifWithCyrillic()
    {
        // Through fontconfig: the font itself or a metric-compatible one, so
        // the columns keep their widths. A sans-serif fallback would not.
        RecordingCanvas canvas;
        canvas.setFontName(u"Times New Roman"_qs);
        canvas.setFontSize(10);
        const QString family = QFontInfo(canvas.font()).family();
        QVERIFY2(QStringList({u"Times New Roman"_qs, u"Liberation Serif"_qs, u"Tinos"_qs}).contains(family),
                 qPrintable(family));
        QVERIFY(QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic));
    }

    void printAdvancesOneLineAndReturnsToTheLeft()
    {
        RecordingCanvas canvas;
        canvas.setFontName(u"Times New Roman"_qs);
        canvas.setFontSize(10);
        canvas.setX(270);
        canvas.setY(100);
        canvas.print(u"Выход"_qs);
        const double line = canvas.lineHeight();
        QVERIFY(line > 10 && line < 20); // about 15 pixels for 10 points at 96 dpi
        QCOMPARE(canvas.x(), 0.0);
        QCOMPARE(canvas.y(), 100 + line);
        QCOMPARE(canvas.ops().size(), 1);
        QCOMPARE(canvas.ops()[0].x, 270.0);
        QCOMPARE(canvas.ops()[0].y, 100.0);
    }

    void carriageReturnsBreakLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines"); // drawn, in order
        QTest::addColumn<int>("advance");       // lines the cursor moves down
        QTest::newRow("one line") << u"ab"_qs << QStringList{u"ab"_qs} << 1;
        QTest::newRow("two lines") << u"ab\rcd"_qs << QStringList{u"ab"_qs, u"cd"_qs} << 2;
        QTest::newRow("trailing return") << u"ab\r"_qs << QStringList{u"ab"_qs} << 2;
        QTest::newRow("empty text") << QString() << QStringList{} << 1;
        QTest::newRow("blank middle line") << u"a\r\rb"_qs << QStringList{u"a"_qs, u"b"_qs} << 3;
        QTest::newRow("indented rest") << u"x\r    y"_qs << QStringList{u"x"_qs, u"    y"_qs} << 2;
    }
    void carriageReturnsBreakLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QFETCH(int, advance);
        RecordingCanvas canvas;
        canvas.setFontSize(10);
        canvas.setX(70);
        canvas.setY(200);
        const double line = canvas.lineHeight();
        canvas.print(text);
        QCOMPARE(canvas.ops().size(), lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            const auto& op = canvas.ops()[i];
            QCOMPARE(op.text, lines[i]);
            // Only the first line starts at the cursor; the rest at the left edge.
            QCOMPARE(op.x, i == 0 ? 70.0 : 0.0);
        }
        if (lines.size() >= 2 && text.count(u'\r') == 1)
            QCOMPARE(canvas.ops()[1].y, 200 + line);
        QCOMPARE(canvas.y(), 200 + advance * line);
        QCOMPARE(canvas.x(), 0.0);
    }

    void lineHeightFollowsTheFont()
    {
        RecordingCanvas canvas;
        canvas.setFontName(u"Times New Roman"_qs);
        canvas.setFontSize(8);
        const double small = canvas.lineHeight();
        canvas.setFontSize(10);
        const double normal = canvas.lineHeight();
        canvas.setFontSize(14);
        const double large = canvas.lineHeight();
        QVERIFY(small < normal);
        QVERIFY(normal < large);
        QCOMPARE(canvas.fontSize(), 14.0);
        canvas.setBold(true);
        canvas.print(u"Итого:"_qs);
        QVERIFY(canvas.ops().last().bold);
        QCOMPARE(canvas.ops().last().size, 14.0);
    }

    void linesBelowThePageAreDroppedButCounted()
    {
        RecordingCanvas canvas;
        canvas.setFontSize(10);
        canvas.setY(ReportCanvas::kPageHeight - 1);
        canvas.print(u"последняя"_qs);
        const double afterLast = canvas.y();
        canvas.print(u"за краем"_qs);
        QCOMPARE(canvas.ops().size(), 1);
        QCOMPARE(canvas.ops()[0].text, u"последняя"_qs);
        QVERIFY(canvas.y() > afterLast);
    }

    void pictureHoldsThePageAndTheTextWhereItWasPrinted()
    {
        PictureCanvas canvas;
        canvas.setFontName(u"Times New Roman"_qs);
        canvas.setFontSize(14);
        canvas.setX(300);
        canvas.setY(70);
        canvas.print(u"Расчет калорийности"_qs);
        const double line = canvas.lineHeight();
        const QPicture page = canvas.takePicture();
        QCOMPARE(page.boundingRect(), QRect(0, 0, 774, 1127));
        QVERIFY(inkIn(page, QRect(300, 70, 200, int(line))) > 50);
        // Nothing left of the text's start, above it or below its line.
        QCOMPARE(inkIn(page, QRect(0, 0, 299, 1127)), 0);
        QCOMPARE(inkIn(page, QRect(0, 0, 774, 69)), 0);
        QCOMPARE(inkIn(page, QRect(0, 70 + int(line) + 1, 774, 1127)), 0);
    }
};

QTEST_MAIN(TestReportCanvas)
#include "TestReportCanvas.moc"
