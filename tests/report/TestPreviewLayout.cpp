#include "PreviewLayout.h"

#include <QTest>

class TestPreviewLayout : public QObject
{
    Q_OBJECT

private slots:
    void scrollRangesFromTheSizesAtLoad_data()
    {
        QTest::addColumn<QRect>("page");
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QList<int>>("ranges"); // hMin hMax hStep vMin vMax vStep
        // The window as it loads: page at (40, 24), container 449 x 321.
        QTest::newRow("at load, 17-pixel bars")
            << QRect(40, 24, 774, 1127) << QSize(449, 321) << 17 << QList<int>{-24, 342, 34, -24, 823, 82};
        QTest::newRow("at load, 16-pixel bars")
            << QRect(40, 24, 774, 1127) << QSize(449, 321) << 16 << QList<int>{-24, 341, 34, -24, 822, 82};
        QTest::newRow("steps round halves up")
            << QRect(0, 10, 100, 100) << QSize(50, 50) << 5 << QList<int>{-10, 55, 6, -10, 55, 6};
        QTest::newRow("container larger than the page: the step stays 1")
            << QRect(40, 24, 774, 1127) << QSize(2000, 2000) << 17 << QList<int>{-24, -1209, 1, -24, -856, 1};
    }
    void scrollRangesFromTheSizesAtLoad()
    {
        QFETCH(QRect, page);
        QFETCH(QSize, inner);
        QFETCH(int, bar);
        QFETCH(QList<int>, ranges);
        const auto r = PreviewLayout::Init_Scroll(page, inner, bar, bar);
        QCOMPARE((QList<int>{r.hMin, r.hMax, r.hStep, r.vMin, r.vMax, r.vStep}), ranges);
    }

    void resizeLayout_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("back");
        QTest::addColumn<QRect>("vertical");
        QTest::addColumn<QRect>("horizontal");
        // Outer sizes; the container's top is 32 and the bars are 17 thick.
        QTest::newRow("initial 547 x 439")
            << QSize(547, 439) << QRect(5, 32, 537, 397) << QRect(518, 0, 17, 355) << QRect(0, 356, 518, 17);
        QTest::newRow("large") << QSize(1207, 934) << QRect(5, 32, 1197, 892) << QRect(1178, 0, 17, 850)
                               << QRect(0, 851, 1178, 17);
        QTest::newRow("narrower than the bars")
            << QSize(20, 439) << QRect(5, 32, 10, 397) << QRect(0, 0, 17, 355) << QRect(0, 356, 0, 17);
        QTest::newRow("lower than the margins")
            << QSize(547, 50) << QRect(5, 32, 537, 8) << QRect(518, 0, 17, 0) << QRect(0, 0, 518, 17);
        QTest::newRow("nothing left")
            << QSize(0, 0) << QRect(5, 32, 0, 0) << QRect(0, 0, 17, 0) << QRect(0, 0, 0, 17);
    }
    void resizeLayout()
    {
        QFETCH(QSize, window);
        QFETCH(QRect, back);
        QFETCH(QRect, vertical);
        QFETCH(QRect, horizontal);
        const auto g = PreviewLayout::Form_Resize(window, 32, 17, 17);
        QCOMPARE(g.back, back);
        QCOMPARE(g.vertical, vertical);
        QCOMPARE(g.horizontal, horizontal);
    }

    void barsMeetAtTheVisibleCorner()
    {
        // With the frame added back, the bars end on the client area's right
        // and bottom edges for any reasonable size.
        for (const QSize client : {QSize(540, 405), QSize(800, 600), QSize(1920, 1000)}) {
            const auto g = PreviewLayout::Form_Resize(client + PreviewLayout::kFrame, 32, 17, 17);
            QCOMPARE(g.back.x() + g.vertical.right() + 1, client.width());
            QCOMPARE(g.back.y() + g.horizontal.bottom() + 1, client.height());
            QCOMPARE(g.horizontal.right() + 1, g.vertical.x());
        }
    }
};

QTEST_GUILESS_MAIN(TestPreviewLayout)
#include "TestPreviewLayout.moc"
