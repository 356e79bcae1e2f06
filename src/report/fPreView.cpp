#include "report/fPreView.h"

#include "common/Dialogs.h"
#include "report/CalorieReport.h"
#include "report/PagePrinting.h"
#include "report/PictureCanvas.h"
#include "report/PrinterAdapter.h"
#include "report/ReportPageView.h"
#include "report/ReportSource.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

constexpr int kTwipsPerInch = 1440;

// The 16 x 16 printer symbol of the print button.
QIcon printerIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5); // sheet going in
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(1, 6, 13, 6); // body
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 5); // sheet coming out
    p.setPen(QColor(40, 40, 40));
    p.drawLine(5, 12, 9, 12);
    p.setPen(QColor(0, 160, 0));
    p.drawPoint(12, 8); // power light
    return QIcon(pixmap);
}

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
    resize(twipsX(8100), twipsY(6075));

    m_cmdPrint = new QPushButton(this);
    m_cmdPrint->setObjectName(u"cmdPrint"_s);
    m_cmdPrint->setIcon(printerIcon());
    m_cmdPrint->setIconSize(QSize(16, 16));
    m_cmdPrint->setGeometry(0, 0, twipsX(375), twipsY(375));

    m_lPrinters = new QLabel(u"Принтеры"_s, this);
    m_lPrinters->setObjectName(u"lPrinters"_s);
    m_lPrinters->setGeometry(twipsX(480), twipsY(120), twipsX(765), twipsY(195));
    // The label's box was measured for a narrower system font: let it grow
    // to its text rather than cut the word, and keep the list clear of it.
    const QSize fit = m_lPrinters->sizeHint();
    m_lPrinters->resize(qMax(m_lPrinters->width(), fit.width()), qMax(m_lPrinters->height(), fit.height()));

    m_cPrinters = new QComboBox(this);
    m_cPrinters->setObjectName(u"cPrinters"_s);
    m_cPrinters->setGeometry(qMax(twipsX(1320), m_lPrinters->geometry().right() + 5), twipsY(120),
                             twipsX(3615), twipsY(315));

    m_cmdPdf = new QPushButton(u"Сохранить в PDF"_s, this);
    m_cmdPdf->setObjectName(u"cmdPdf"_s);
    m_cmdPdf->setToolTip(u"Сохранить страницу в файл PDF"_s);
    m_cmdPdf->setGeometry(m_cPrinters->geometry().right() + 1 + twipsX(150), 0,
                          qMax(twipsX(1800), m_cmdPdf->sizeHint().width()), twipsY(375));

    m_piBack = new QWidget(this);
    m_piBack->setObjectName(u"piBack"_s);
    m_piBack->setAutoFillBackground(true);
    QPalette ground = m_piBack->palette();
    ground.setColor(QPalette::Window, ground.color(QPalette::Dark));
    m_piBack->setPalette(ground);
    m_piBack->setGeometry(0, twipsY(480), twipsX(6735), twipsY(4815));

    m_PI = new ReportPageView(m_piBack);
    m_PI->move(twipsX(600), twipsY(360));
    // A click on the grey ground, or on a bar, gives the focus to the page so
    // the arrow keys keep working.
    m_piBack->setFocusPolicy(Qt::ClickFocus);
    m_piBack->setFocusProxy(m_PI);

    m_VS = new QScrollBar(Qt::Vertical, m_piBack);
    m_VS->setObjectName(u"VS"_s);
    m_HS = new QScrollBar(Qt::Horizontal, m_piBack);
    m_HS->setObjectName(u"HS"_s);
    const int vsWidth = m_VS->sizeHint().width();
    const int hsHeight = m_HS->sizeHint().height();
    m_VS->setGeometry(m_piBack->width() - vsWidth, 0, vsWidth, m_piBack->height() - hsHeight);
    m_HS->setGeometry(0, m_piBack->height() - hsHeight, m_piBack->width() - vsWidth, hsHeight);

    connect(m_HS, &QScrollBar::valueChanged, this, [this](int v) { m_PI->move(-v, m_PI->y()); });
    connect(m_VS, &QScrollBar::valueChanged, this, [this](int v) { m_PI->move(m_PI->x(), -v); });
    connect(m_PI, &ReportPageView::keyDown, this, &fPreView::PI_KeyDown);
    connect(m_cmdPrint, &QPushButton::clicked, this, &fPreView::cmdPrint_Click);
    connect(m_cmdPdf, &QPushButton::clicked, this, &fPreView::cmdPdf_Click);
    connect(m_cPrinters, &QComboBox::currentTextChanged, this, &fPreView::Form_Activate);

    // Esc closes the window whichever control has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    if (source.rationIsEmpty())
        Dialogs::message(u"Не выбраны рецептуры!"_s);
    Init_Scroll();
    Show_Printers(m_cPrinters);
    Form_Kkal(source, visitDate);
    Form_Activate();
    m_PI->setFocus();
}

fPreView::~fPreView() = default;

QString fPreView::printerName() const
{
    return m_cPrinters->currentText();
}

int fPreView::twipsX(int twips) const
{
    return qRound(double(twips) * logicalDpiX() / kTwipsPerInch);
}

int fPreView::twipsY(int twips) const
{
    return qRound(double(twips) * logicalDpiY() / kTwipsPerInch);
}

void fPreView::Init_Scroll()
{
    m_ranges = PreviewLayout::Init_Scroll(m_PI->geometry(), m_piBack->contentsRect().size(), m_VS->width(),
                                          m_HS->height());
    m_HS->setRange(m_ranges.hMin, m_ranges.hMax);
    m_HS->setSingleStep(m_ranges.hStep);
    m_VS->setRange(m_ranges.vMin, m_ranges.vMax);
    m_VS->setSingleStep(m_ranges.vStep);
    m_VS->setPageStep(m_ranges.vStep);
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
    m_PI->setPage(m_page);
}

void fPreView::Form_Activate()
{
    const QString name = printerName();
    m_cmdPrint->setToolTip(name.isEmpty() ? u"Принтер не найден"_s : name);
}

void fPreView::Form_Resize()
{
    if (!m_piBack || isMinimized())
        return;
    const PreviewLayout::Geometry g = PreviewLayout::Form_Resize(
        size() + PreviewLayout::kFrame, m_piBack->y(), m_VS->width(), m_HS->height());
    m_piBack->setGeometry(g.back);
    m_VS->setGeometry(g.vertical);
    m_HS->setGeometry(g.horizontal);
}

void fPreView::PI_KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Left:
        m_HS->setValue(qMax(m_HS->value() - m_HS->singleStep(), m_HS->minimum()));
        break;
    case Qt::Key_Up:
        m_VS->setValue(qMax(m_VS->value() - m_VS->singleStep(), m_VS->minimum()));
        break;
    case Qt::Key_Right:
        m_HS->setValue(qMin(m_HS->value() + m_HS->singleStep(), m_HS->maximum()));
        break;
    case Qt::Key_Down:
        m_VS->setValue(qMin(m_VS->value() + m_VS->singleStep(), m_VS->maximum()));
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
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString fileName =
        Dialogs::saveFileName(u"Сохранить отчет в PDF"_s, QDir(folder).filePath(u"Расчет калорийности.pdf"_s),
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
