#include "report/PictureCanvas.h"

#include <QFontMetricsF>

PictureCanvas::PictureCanvas() : ReportCanvas(&m_picture)
{
    m_painter.begin(&m_picture);
    m_painter.setPen(Qt::black);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    // Recorded into the picture itself, so paper and PDF end where the preview
    // does: a long enterprise name would otherwise print past the page's edge.
    m_painter.setClipRect(QRect(0, 0, kPageWidth, kPageHeight));
}

PictureCanvas::~PictureCanvas()
{
    if (m_painter.isActive())
        m_painter.end();
}

QPicture PictureCanvas::takePicture()
{
    if (m_painter.isActive())
        m_painter.end();
    // The page has its size whatever is drawn on it; the bounding rectangle
    // would otherwise shrink to the text.
    m_picture.setBoundingRect(QRect(0, 0, kPageWidth, kPageHeight));
    return m_picture;
}

void PictureCanvas::drawLine(const QPointF& topLeft, const QString& line)
{
    if (!m_painter.isActive())
        return;
    m_painter.setFont(font());
    const QFontMetricsF metrics(font(), &m_picture);
    // Plain text drawn at a point: nothing in a dish name is read as markup.
    m_painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), line);
}
