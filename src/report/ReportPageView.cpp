#include "report/ReportPageView.h"

#include "report/ReportCanvas.h"

#include <QKeyEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

ReportPageView::ReportPageView(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"PI"_s);
    setFixedSize(ReportCanvas::kPageWidth, ReportCanvas::kPageHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
}

void ReportPageView::setPage(const QPicture& page)
{
    m_page = page;
    update();
}

void ReportPageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.drawPicture(0, 0, m_page);
}

void ReportPageView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        emit keyDown(event->key());
        event->accept();
        return;
    default:
        // Esc and the rest go on to the window.
        QWidget::keyPressEvent(event);
    }
}
