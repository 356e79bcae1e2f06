#include "FakePrinters.h"
#include "FakeReportSource.h"
#include "ReportCanvas.h"
#include "ScriptedDialogs.h"
#include "TempSettings.h"
#include "fPreView.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

FakeReportSource someRation()
{
    FakeReportSource source;
    source.dishes << FakeReportSource::dish(u"Борщ украинский"_qs, u"250"_qs, 4.5, 6.25, 10.1, 3)
                  << FakeReportSource::dish(u"Котлета рубленая из говядины с гарниром"_qs, u"150/50"_qs, 15,
                                            12, 20, 5);
    return source;
}

// Dark pixels of the page widget in `area` (page coordinates).
int inkIn(QWidget* page, const QRect& area)
{
    const QImage image = page->grab().toImage();
    int ink = 0;
    for (int y = area.top(); y <= area.bottom() && y < image.height(); ++y)
        for (int x = area.left(); x <= area.right() && x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++ink;
    return ink;
}

QList<fPreView*> openPreviews()
{
    QList<fPreView*> previews;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<fPreView*>(w); p && p->isVisible())
            previews << p;
    return previews;
}

} // namespace

class TestfPreView : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_printers = std::make_unique<FakePrinters>();
        m_printers->names = {u"Alpha"_qs, u"Beta"_qs, u"Gamma"_qs};
        m_printers->defaultName = u"Beta"_qs;
    }
    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<fPreView*>(w))
                delete w;
        QCOMPARE(m_dialogs->pending(), 0);
        m_printers.reset();
        m_dialogs.reset();
        m_settings.reset();
    }

    void loadsWithItsControls()
    {
        const auto source = someRation();
        fPreView window(source);
        QCOMPARE(window.windowTitle(), u"Предварительный просмотр "_qs);
        QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(window.isWindow());
        QCOMPARE(window.size(), QSize(540, 405)); // 8100 x 6075 twips at 96 dpi
        auto* cmdPrint = window.findChild<QPushButton*>(u"cmdPrint"_qs);
        QVERIFY(cmdPrint);
        QCOMPARE(cmdPrint->geometry(), QRect(0, 0, 25, 25));
        QVERIFY(cmdPrint->text().isEmpty());
        QCOMPARE(cmdPrint->icon().availableSizes().value(0), QSize(16, 16));
        auto* label = window.findChild<QLabel*>(u"lPrinters"_qs);
        QCOMPARE(label->text(), u"Принтеры"_qs);
        QCOMPARE(label->pos(), QPoint(32, 8));
        QVERIFY(label->width() >= 51 && label->width() >= label->sizeHint().width()); // the word is not cut
        const QRect list = window.findChild<QComboBox*>(u"cPrinters"_qs)->geometry();
        QCOMPARE(list.size(), QSize(241, 21));
        QCOMPARE(list.top(), 8);
        QVERIFY(list.left() >= 88 && list.left() > label->geometry().right());
        const QRect pdf = window.findChild<QPushButton*>(u"cmdPdf"_qs)->geometry();
        QVERIFY(pdf.left() > list.right() && pdf.right() < window.width());
        auto* back = window.findChild<QWidget*>(u"piBack"_qs);
        QCOMPARE(back->geometry(), QRect(0, 32, 449, 321)); // before the first layout pass
        QVERIFY(back->palette().color(QPalette::Window) != Qt::white);
        auto* page = window.findChild<QWidget*>(u"PI"_qs);
        QCOMPARE(page->parentWidget(), back);
        QCOMPARE(page->geometry(), QRect(40, 24, 774, 1127));
        QCOMPARE(page->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(window.page().boundingRect(), QRect(0, 0, 774, 1127));
    }

    void scrollRangesComeFromTheSizesAtLoad()
    {
        const auto source = someRation();
        fPreView window(source);
        auto* hs = window.findChild<QScrollBar*>(u"HS"_qs);
        auto* vs = window.findChild<QScrollBar*>(u"VS"_qs);
        QCOMPARE(hs->minimum(), -24);
        QCOMPARE(hs->maximum(), 774 - 449 + vs->width());
        QCOMPARE(hs->singleStep(), qRound(hs->maximum() / 10.0));
        QCOMPARE(vs->minimum(), -24);
        QCOMPARE(vs->maximum(), 1127 - 321 + hs->height());
        QCOMPARE(vs->singleStep(), qRound(vs->maximum() / 10.0));
        QCOMPARE(vs->pageStep(), vs->singleStep());
        // Resizing later does not change them.
        window.show();
        window.resize(900, 700);
        QCOMPARE(hs->maximum(), 774 - 449 + vs->width());
        QCOMPARE(window.ranges().hMax, hs->maximum());
    }

    void arrowKeysScrollWithinTheLimits_data()
    {
        QTest::addColumn<int>("forward");
        QTest::addColumn<int>("back");
        QTest::addColumn<bool>("horizontal");
        QTest::newRow("right then left") << int(Qt::Key_Right) << int(Qt::Key_Left) << true;
        QTest::newRow("down then up") << int(Qt::Key_Down) << int(Qt::Key_Up) << false;
    }
    void arrowKeysScrollWithinTheLimits()
    {
        QFETCH(int, forward);
        QFETCH(int, back);
        QFETCH(bool, horizontal);
        const auto source = someRation();
        fPreView window(source);
        window.show();
        auto* page = window.findChild<QWidget*>(u"PI"_qs);
        auto* bar = window.findChild<QScrollBar*>(horizontal ? u"HS"_qs : u"VS"_qs);
        const auto edge = [&] { return horizontal ? page->x() : page->y(); };
        QCOMPARE(page->pos(), QPoint(40, 24)); // untouched until a bar moves
        const int step = bar->singleStep();
        QTest::keyClick(page, Qt::Key(forward));
        QCOMPARE(bar->value(), step);
        QCOMPARE(edge(), -step);
        QTest::keyClick(page, Qt::Key(forward));
        QCOMPARE(edge(), -2 * step);
        for (int i = 0; i < 20; ++i)
            QTest::keyClick(page, Qt::Key(forward));
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(edge(), -bar->maximum());
        QTest::keyClick(page, Qt::Key(back));
        QCOMPARE(bar->value(), bar->maximum() - step);
        for (int i = 0; i < 30; ++i)
            QTest::keyClick(page, Qt::Key(back));
        QCOMPARE(bar->value(), bar->minimum());
        QCOMPARE(edge(), 24); // the page's top offset, on either axis
        // The other axis did not move.
        QCOMPARE(horizontal ? page->y() : page->x(), horizontal ? 24 : 40);
    }

    void otherKeysDoNotScroll()
    {
        const auto source = someRation();
        fPreView window(source);
        window.show();
        auto* page = window.findChild<QWidget*>(u"PI"_qs);
        for (auto key : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_Space, Qt::Key_A})
            QTest::keyClick(page, key);
        QCOMPARE(page->pos(), QPoint(40, 24));
    }

    void escClosesTheWindowFromAnyControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("page") << u"PI"_qs;
        QTest::newRow("print button") << u"cmdPrint"_qs;
        QTest::newRow("pdf button") << u"cmdPdf"_qs;
        QTest::newRow("printer list") << u"cPrinters"_qs;
        QTest::newRow("scroll bar") << u"VS"_qs;
        QTest::newRow("window") << u"fPreView"_qs;
    }
    void escClosesTheWindowFromAnyControl()
    {
        QFETCH(QString, control);
        const auto source = someRation();
        QPointer<fPreView> window = new fPreView(source);
        window->show();
        QWidget* target = control == u"fPreView"_qs ? window.data() : window->findChild<QWidget*>(control);
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QTRY_VERIFY(window.isNull()); // deleted on close
    }

    void clickOnTheGroundFocusesThePage()
    {
        const auto source = someRation();
        fPreView window(source);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* page = window.findChild<QWidget*>(u"PI"_qs);
        auto* print = window.findChild<QWidget*>(u"cmdPrint"_qs);
        print->setFocus();
        QVERIFY(print->hasFocus());
        QTest::mouseClick(window.findChild<QWidget*>(u"piBack"_qs), Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(page->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(page->y(), -window.findChild<QScrollBar*>(u"VS"_qs)->singleStep());
    }

    void resizeLaysOutTheContainerAndBars_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::newRow("initial") << QSize(540, 405);
        QTest::newRow("larger") << QSize(1000, 800);
        QTest::newRow("tiny") << QSize(30, 20);
    }
    void resizeLaysOutTheContainerAndBars()
    {
        QFETCH(QSize, client);
        const auto source = someRation();
        fPreView window(source);
        window.show();
        window.resize(client);
        QCOMPARE(window.size(), client);
        auto* back = window.findChild<QWidget*>(u"piBack"_qs);
        auto* vs = window.findChild<QScrollBar*>(u"VS"_qs);
        auto* hs = window.findChild<QScrollBar*>(u"HS"_qs);
        const auto want =
            PreviewLayout::Form_Resize(client + PreviewLayout::kFrame, 32, vs->width(), hs->height());
        QCOMPARE(back->geometry(), want.back);
        QCOMPARE(vs->geometry(), want.vertical);
        QCOMPARE(hs->geometry(), want.horizontal);
        QVERIFY(back->width() >= 0 && back->height() >= 0);
    }

    void minimisingKeepsTheLayout()
    {
        const auto source = someRation();
        fPreView window(source);
        window.show();
        const QRect before = window.findChild<QWidget*>(u"piBack"_qs)->geometry();
        window.showMinimized();
        QCoreApplication::processEvents();
        window.showNormal();
        QCOMPARE(window.findChild<QWidget*>(u"piBack"_qs)->geometry(), before);
    }

    void printerListPreselectsTheDefault()
    {
        const auto source = someRation();
        fPreView window(source);
        auto* list = window.findChild<QComboBox*>(u"cPrinters"_qs);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->itemText(0), u"Alpha"_qs);
        QCOMPARE(list->itemText(2), u"Gamma"_qs);
        QCOMPARE(list->currentText(), u"Beta"_qs);
        QCOMPARE(window.findChild<QPushButton*>(u"cmdPrint"_qs)->toolTip(), u"Beta"_qs);
    }

    void printsOnThePrinterChosenInTheList()
    {
        const auto source = someRation();
        fPreView window(source);
        window.show();
        auto* list = window.findChild<QComboBox*>(u"cPrinters"_qs);
        auto* button = window.findChild<QPushButton*>(u"cmdPrint"_qs);
        QTest::mouseClick(button, Qt::LeftButton);
        list->setCurrentIndex(2);
        QCOMPARE(button->toolTip(), u"Gamma"_qs);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_printers->jobs.size(), 2);
        QCOMPARE(m_printers->jobs[0].printer, u"Beta"_qs);
        QCOMPARE(m_printers->jobs[1].printer, u"Gamma"_qs);
        QCOMPARE(m_printers->jobs[1].pageSize, QSize(774, 1127));
        QVERIFY(window.isVisible()); // printing leaves the window open
    }

    void noPrinterSaysSoAndGoesOn()
    {
        m_printers->names.clear();
        m_printers->defaultName.clear();
        const auto source = someRation();
        fPreView window(source);
        window.show();
        auto* list = window.findChild<QComboBox*>(u"cPrinters"_qs);
        QCOMPARE(list->count(), 0);
        auto* button = window.findChild<QPushButton*>(u"cmdPrint"_qs);
        QCOMPARE(button->toolTip(), u"Принтер не найден"_qs);
        m_dialogs->expectBox();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_dialogs->boxTexts(),
                 QStringList{u"Принтер не найден. Установите принтер и откройте просмотр снова."_qs});
        QCOMPARE(m_dialogs->boxes()[0].icon, Dialogs::Icon::Critical);
        QVERIFY(m_printers->jobs.isEmpty());
        QVERIFY(window.isVisible());
    }

    void printerErrorIsShown()
    {
        m_printers->nextError = u"Ошибка печати на принтере \"Beta\". Страница не напечатана."_qs;
        const auto source = someRation();
        fPreView window(source);
        window.show();
        m_dialogs->expectBox();
        QTest::mouseClick(window.findChild<QPushButton*>(u"cmdPrint"_qs), Qt::LeftButton);
        QCOMPARE(m_dialogs->boxTexts(), QStringList{m_printers->nextError});
        QCOMPARE(m_dialogs->boxes()[0].title, u"Quorvel"_qs);
        QVERIFY(window.isVisible());
    }

    void emptyRationWarnsAndShowsTheHead()
    {
        FakeReportSource empty;
        m_dialogs->expectBox();
        fPreView window(empty);
        QCOMPARE(m_dialogs->boxTexts(), QStringList{u"Не выбраны рецептуры!"_qs});
        QCOMPARE(m_dialogs->boxes()[0].title, u"Quorvel"_qs);
        QCOMPARE(m_dialogs->boxes()[0].buttons, Dialogs::Buttons::Ok);
        window.show();
        auto* page = window.findChild<QWidget*>(u"PI"_qs);
        QVERIFY(inkIn(page, QRect(300, 70, 200, 20)) > 50); // the title
        QVERIFY(inkIn(page, QRect(70, 150, 600, 60)) > 50); // the header lines
        QCOMPARE(inkIn(page, QRect(0, 260, 774, 860)), 0);  // no rows, totals or footer
    }

    void eachPrintClickOpensAnotherPreview()
    {
        auto source = someRation();
        QWidget fitness;
        auto* cPrint = new QPushButton(u"&Печать"_qs, &fitness);
        cPrint->setObjectName(u"cPrint"_qs);
        connect(cPrint, &QPushButton::clicked, &fitness, [&] { openPreview(source, &fitness); });
        fitness.show();
        QTest::mouseClick(cPrint, Qt::LeftButton);
        source.dishes.removeLast(); // the second preview sees the ration as it is then
        QTest::mouseClick(cPrint, Qt::LeftButton);
        const auto previews = openPreviews();
        QCOMPARE(previews.size(), 2);
        QVERIFY(previews[0] != previews[1]);
        for (auto* p : previews) {
            QVERIFY(p->isWindow());
            QVERIFY(!p->isModal());
        }
        QVERIFY(previews[0]->page().size() != previews[1]->page().size());
    }

    void savesThePageAsPdf()
    {
        QTemporaryDir dir;
        const auto source = someRation();
        fPreView window(source);
        window.show();
        auto* button = window.findChild<QPushButton*>(u"cmdPdf"_qs);
        m_dialogs->expectSaveFile(dir.filePath(u"отчет"_qs)); // no suffix: one is added
        QTest::mouseClick(button, Qt::LeftButton);
        QFile file(dir.filePath(u"отчет.pdf"_qs));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QCOMPARE(m_dialogs->prompts(), QStringList{u"Сохранить отчет в PDF"_qs});
    }

    void cancelledPdfWritesNothing()
    {
        QTemporaryDir dir;
        const auto source = someRation();
        fPreView window(source);
        m_dialogs->expectSaveFile(QString());
        QTest::mouseClick(window.findChild<QPushButton*>(u"cmdPdf"_qs), Qt::LeftButton);
        QVERIFY(QDir(dir.path()).isEmpty());
        QVERIFY(m_dialogs->boxes().isEmpty());
    }

    void unwritablePdfIsReported()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"нет/такой/папки/отчет.pdf"_qs);
        const auto source = someRation();
        fPreView window(source);
        m_dialogs->expectSaveFile(path);
        m_dialogs->expectBox();
        QTest::mouseClick(window.findChild<QPushButton*>(u"cmdPdf"_qs), Qt::LeftButton);
        QCOMPARE(m_dialogs->boxTexts().size(), 1);
        QVERIFY(m_dialogs->boxTexts()[0].startsWith(u"Не удалось сохранить файл\r"_qs));
        QVERIFY(!QFile::exists(path));
    }

private:
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<FakePrinters> m_printers;
};

QTEST_MAIN(TestfPreView)
#include "TestfPreView.moc"
