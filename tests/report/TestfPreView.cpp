#include "report/fPreView.h"

#include "common/Settings.h"
#include "report/FakeReportSource.h"
#include "report/PrinterAdapter.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPicture>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Printers that exist only for the test; every page sent is recorded.
class FakePrinters final : public PrinterAdapter
{
public:
    FakePrinters() { setCurrent(this); }
    ~FakePrinters() override { setCurrent(nullptr); }
    Q_DISABLE_COPY_MOVE(FakePrinters)

    QStringList names{u"Alpha"_s, u"Beta"_s, u"Gamma"_s}, jobs; // jobs as "printer WxH"
    QString error;

    QStringList printerNames() const override { return names; }
    QString defaultPrinterName() const override { return names.value(1); }
    QString printPage(const QPicture& page, const QString& printerName) override
    {
        jobs << printerName + u" %1x%2"_s.arg(page.boundingRect().width()).arg(page.boundingRect().height());
        return error;
    }
};

} // namespace

class TestfPreView : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_source.dishes = {{u"Борщ"_s, u"250"_s, 4.5, 6.25, 10.1, 3}};
        m_dialogs.clear();
    }

    void arrowKeysScrollWithinTheLimits()
    {
        fPreView w(m_source);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.resize(900, 700); // the ranges stay those of the sizes at load
        auto* page = w.findChild<QWidget*>(u"PI"_s);
        // The page (774 x 1127 at 40, 24) against the container at load (449 x 321).
        const int max = 1127 - 321 + w.findChild<QScrollBar*>(u"HS"_s)->height();
        const auto press = [&](int times, Qt::Key key) {
            for (int i = 0; i < times; ++i)
                QTest::keyClick(QApplication::focusWidget(), key);
            return page->y();
        };
        // A click on the grey ground hands the focus on to the page.
        w.findChild<QWidget*>(u"cmdPrint"_s)->setFocus();
        QTest::mouseClick(w.findChild<QWidget*>(u"piBack"_s), Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(page->pos(), QPoint(40, 24));                                // untouched until a bar moves
        QCOMPARE(page->grab().toImage().pixelColor(1, 1), QColor(Qt::white)); // paper on the grey
        QCOMPARE(press(1, Qt::Key_Down), -qRound(max / 10.0));
        QCOMPARE(press(20, Qt::Key_Down), -max);
        QCOMPARE(press(30, Qt::Key_Up), 24);
        QCOMPARE(page->x(), 40);
    }

    // Each call opens another preview beside the open one, not modal; Esc
    // closes it from any of its controls.
    void escClosesEachPreviewFromAnyControl()
    {
        QWidget fitness;
        openPreview(m_source, &fitness);
        for (const QString& control : {u"PI"_s, u"cmdPrint"_s, u"cPrinters"_s}) {
            openPreview(m_source, &fitness);
            const auto previews = fitness.findChildren<fPreView*>();
            QCOMPARE(previews.size(), 2);
            QPointer<fPreView> w = previews[1];
            QVERIFY(previews[0]->isVisible() && w->isVisible() && !w->isModal());
            QTest::keyClick(w->findChild<QWidget*>(control), Qt::Key_Escape);
            QTRY_VERIFY2(w.isNull(), qPrintable(control)); // closed and deleted
        }
    }

    void resizeLaysOutTheContainerAndBars()
    {
        fPreView w(m_source);
        QCOMPARE(w.windowTitle(), u"Предварительный просмотр "_s);
        QCOMPARE(w.size(), QSize(540, 405)); // 8100 x 6075 twips at 96 dpi
        // The print button's icon is a built-in file.
        QVERIFY(!w.findChild<QPushButton*>(u"cmdPrint"_s)->icon().pixmap(16).isNull());
        w.show();
        auto* back = w.findChild<QWidget*>(u"piBack"_s);
        auto* vs = w.findChild<QScrollBar*>(u"VS"_s);
        auto* hs = w.findChild<QScrollBar*>(u"HS"_s);
        w.resize(1000, 800);
        QCOMPARE(back->geometry(), QRect(5, 32, 997, 792));
        // The bars end on the visible right and bottom edges, where they meet.
        QCOMPARE(QPoint(back->x() + vs->geometry().right(), back->y() + hs->geometry().bottom()),
                 QPoint(999, 799));
        QCOMPARE(hs->geometry().right() + 1, vs->x());
    }

    // A failing printer is told.
    void printsOnThePrinterChosenInTheList()
    {
        m_printers.error = u"Ошибка печати"_s;
        fPreView w(m_source);
        w.show();
        auto* print = w.findChild<QPushButton*>(u"cmdPrint"_s);
        QCOMPARE(print->toolTip(), u"Beta"_s); // the default, preselected
        w.findChild<QComboBox*>(u"cPrinters"_s)->setCurrentIndex(2);
        QCOMPARE(print->toolTip(), u"Gamma"_s);
        m_dialogs.expectBox();
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(m_dialogs.boxTexts().last(), m_printers.error);
        QCOMPARE(m_printers.jobs, QStringList{u"Gamma 774x1127"_s});
    }

    void emptyRationWarnsAndShowsTheHead()
    {
        m_source.dishes.clear();
        Setting::NamePOP.set(QString(200, u'Ш')); // runs past the page's right edge
        m_dialogs.expectBox();
        fPreView w(m_source);
        QCOMPARE(m_dialogs.boxTexts(), QStringList{u"Не выбраны рецептуры!"_s});
        // Played anywhere (paper, PDF), the page ends where the preview shows it end.
        QImage paper(900, 1200, QImage::Format_RGB32);
        paper.fill(Qt::white);
        QPainter(&paper).drawPicture(0, 0, w.page());
        QImage white = paper.copy(774, 0, 126, 1200);
        white.fill(Qt::white);
        QCOMPARE(paper.copy(774, 0, 126, 1200), white);
        QVERIFY(paper.copy(700, 90, 74, 20) != white.copy(0, 0, 74, 20)); // the name reaches the edge
    }

private:
    TempSettings m_settings;
    ScriptedDialogs m_dialogs;
    FakePrinters m_printers;
    FakeReportSource m_source;
};

QTEST_MAIN(TestfPreView)
#include "TestfPreView.moc"
