#include "report/fPreView.h"

#include "common/AccessibleNames.h"
#include "common/DesignedControls.h"
#include "common/Dialogs.h"
#include "common/Twips.h"
#include "report/CalorieReport.h"
#include "report/PagePrinting.h"
#include "report/PictureCanvas.h"
#include "report/PrinterAdapter.h"
#include "report/ReportPageView.h"
#include "report/ReportSource.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

// The window's client area and its controls as designed.
constexpr QRectF kClientTwips(0, 0, 8100, 6075);
const Twips::Table& designTable()
{
    static const Twips::Table table = {
        {u"cmdPrint"_s, {0, 0, 375, 375}},        {u"lPrinters"_s, {480, 120, 765, 195}},
        {u"cPrinters"_s, {1320, 120, 3615, 315}}, {u"cmdPdf"_s, {5085, 0, 1800, 375}},
        {u"piBack"_s, {0, 480, 6735, 4815}},
    };
    return table;
}
// Where the page lies on its grey ground.
constexpr QPointF kPageTwips(600, 360);
// The gap the design leaves between the printer list and the PDF button.
constexpr double kPdfGapTwips = 150;

// Keeps the wait cursor up for as long as the printer is busy.
class WaitCursor final
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(WaitCursor)
};

} // namespace

fPreView::fPreView(const ReportSource& source, QWidget* parent, QDate visitDate) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(u"fPreView"_s);
    setWindowTitle(u"Предварительный просмотр "_s);
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    resize(Twips::toPixels(kClientTwips, dpiX, dpiY).size());

    cmdPrint = DesignedControls::make<QPushButton>(this, u"cmdPrint"_s);
    cmdPrint->setIcon(QIcon(u":/icons/windows/printer-16.png"_s));
    cmdPrint->setIconSize(QSize(16, 16));
    // An icon has no caption to carry a mnemonic: the fitness window's print key.
    cmdPrint->setShortcut(QKeySequence::mnemonic(u"&Печать"_s));
    lPrinters = DesignedControls::make<QLabel>(this, u"lPrinters"_s, u"Пр&интеры"_s);
    cPrinters = DesignedControls::make<QComboBox>(this, u"cPrinters"_s);
    lPrinters->setBuddy(cPrinters);
    cmdPdf = DesignedControls::make<QPushButton>(this, u"cmdPdf"_s, u"&Сохранить в PDF"_s);
    cmdPdf->setToolTip(u"Сохранить страницу в файл PDF"_s);
    piBack = DesignedControls::make<QWidget>(this, u"piBack"_s);
    piBack->setAutoFillBackground(true);
    QPalette ground = piBack->palette();
    ground.setColor(QPalette::Window, ground.color(QPalette::Dark));
    piBack->setPalette(ground);
    DesignedControls::place(*this, designTable());

    // The label's box was measured for a narrower system font: let it grow
    // to its text rather than cut the word, and keep the list and the button
    // after it clear of it.
    const QSize fit = lPrinters->sizeHint();
    lPrinters->resize(qMax(lPrinters->width(), fit.width()), qMax(lPrinters->height(), fit.height()));
    cPrinters->move(qMax(cPrinters->x(), lPrinters->geometry().right() + 5), cPrinters->y());
    cmdPdf->setGeometry(cPrinters->geometry().right() + 1 + Twips::toPixels(kPdfGapTwips, dpiX), 0,
                        qMax(cmdPdf->width(), cmdPdf->sizeHint().width()), cmdPdf->height());

    PI = new ReportPageView(piBack);
    PI->move(Twips::toPixels(kPageTwips.x(), dpiX), Twips::toPixels(kPageTwips.y(), dpiY));
    // A click on the grey ground, or on a bar, gives the focus to the page so
    // the arrow keys keep working.
    piBack->setFocusPolicy(Qt::ClickFocus);
    piBack->setFocusProxy(PI);

    VS = new QScrollBar(Qt::Vertical, piBack);
    VS->setObjectName(u"VS"_s);
    HS = new QScrollBar(Qt::Horizontal, piBack);
    HS->setObjectName(u"HS"_s);
    const int vsWidth = VS->sizeHint().width();
    const int hsHeight = HS->sizeHint().height();
    VS->setGeometry(piBack->width() - vsWidth, 0, vsWidth, piBack->height() - hsHeight);
    HS->setGeometry(0, piBack->height() - hsHeight, piBack->width() - vsWidth, hsHeight);

    connect(HS, &QScrollBar::valueChanged, this, [this](int v) { PI->move(-v, PI->y()); });
    connect(VS, &QScrollBar::valueChanged, this, [this](int v) { PI->move(PI->x(), -v); });
    connect(PI, &ReportPageView::keyDown, this, &fPreView::PI_KeyDown);
    connect(cmdPrint, &QPushButton::clicked, this, &fPreView::cmdPrint_Click);
    connect(cmdPdf, &QPushButton::clicked, this, &fPreView::cmdPdf_Click);
    connect(cPrinters, &QComboBox::currentTextChanged, this, &fPreView::Form_Activate);

    AccessibleNames::describe(this);
    // Esc closes the window whichever control has the focus; the page's
    // focus shows as a frame on the ground around it.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    if (source.rationIsEmpty())
        Dialogs::message(u"Не выбраны рецептуры!"_s);
    Init_Scroll();
    Show_Printers(cPrinters);
    Form_Kkal(source, visitDate);
    Form_Activate();
    PI->setFocus();
}

fPreView::~fPreView() = default;

QString fPreView::printerName() const
{
    return cPrinters->currentText();
}

void fPreView::Init_Scroll()
{
    m_ranges =
        PreviewLayout::Init_Scroll(PI->geometry(), piBack->contentsRect().size(), VS->width(), HS->height());
    HS->setRange(m_ranges.hMin, m_ranges.hMax);
    HS->setSingleStep(m_ranges.hStep);
    VS->setRange(m_ranges.vMin, m_ranges.vMax);
    VS->setSingleStep(m_ranges.vStep);
    VS->setPageStep(m_ranges.vStep);
}

void fPreView::Show_Printers(QComboBox* cObj)
{
    cObj->clear();
    PrinterAdapter& printers = PrinterAdapter::current();
    cObj->addItems(printers.printerNames());
    if (cObj->count() > 0) {
        const int index = cObj->findText(printers.defaultPrinterName(), Qt::MatchExactly);
        if (index >= 0)
            cObj->setCurrentIndex(index);
    }
}

void fPreView::Form_Kkal(const ReportSource& source, QDate visitDate)
{
    PictureCanvas canvas;
    CalorieReport(source, visitDate).Form_Kkal(canvas);
    m_page = canvas.takePicture();
    PI->setPage(m_page);
}

void fPreView::Form_Activate()
{
    const QString name = printerName();
    cmdPrint->setToolTip(name.isEmpty() ? u"Принтер не найден"_s : name);
}

void fPreView::Form_Resize()
{
    if (!piBack || isMinimized())
        return;
    const PreviewLayout::Geometry g =
        PreviewLayout::Form_Resize(size() + PreviewLayout::kFrame, piBack->y(), VS->width(), HS->height());
    piBack->setGeometry(g.back);
    VS->setGeometry(g.vertical);
    HS->setGeometry(g.horizontal);
}

void fPreView::PI_KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Left:
        HS->setValue(qMax(HS->value() - HS->singleStep(), HS->minimum()));
        break;
    case Qt::Key_Up:
        VS->setValue(qMax(VS->value() - VS->singleStep(), VS->minimum()));
        break;
    case Qt::Key_Right:
        HS->setValue(qMin(HS->value() + HS->singleStep(), HS->maximum()));
        break;
    case Qt::Key_Down:
        VS->setValue(qMin(VS->value() + VS->singleStep(), VS->maximum()));
        break;
    default:
        break;
    }
}

void fPreView::cmdPrint_Click()
{
    const QString name = printerName();
    if (name.isEmpty()) {
        Dialogs::message(u"Принтер не найден. Установите принтер и откройте просмотр снова."_s,
                         Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    QString error;
    {
        const WaitCursor wait;
        error = PrinterAdapter::current().printPage(m_page, name);
    }
    if (!error.isEmpty())
        Dialogs::message(error, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

void fPreView::cmdPdf_Click()
{
    QString fileName =
        Dialogs::saveFileName(u"Сохранить отчет в PDF"_s, Dialogs::inDocuments(u"Расчет калорийности.pdf"_s),
                              u"Документы PDF (*.pdf)"_s);
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().compare(u"pdf"_s, Qt::CaseInsensitive) != 0)
        fileName += u".pdf"_s;
    QString error;
    {
        const WaitCursor wait;
        error = PagePrinting::savePdf(m_page, fileName);
    }
    if (!error.isEmpty())
        Dialogs::message(error, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

bool fPreView::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

bool fPreView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PI && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        piBack->update();
    if (watched == piBack && event->type() == QEvent::Paint && PI->hasFocus()) {
        QPainter painter(piBack);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
        painter.drawRect(PI->geometry().adjusted(-3, -3, 2, 2));
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // Only keys meant for this window: an open drop-down list is a window
        // of its own, and Esc there just closes the list.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void fPreView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

fPreView* openPreview(const ReportSource& source, QWidget* parent)
{
    auto* preview = new fPreView(source, parent);
    preview->show();
    return preview;
}
