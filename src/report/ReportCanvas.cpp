#include "report/ReportCanvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>

ReportCanvas::ReportCanvas(const QPaintDevice* metrics) : m_metrics(metrics)
{
    // The page is a document, not a screen control: text is antialiased and
    // hinting would make its widths depend on the device it is played on.
    m_font.setHintingPreference(QFont::PreferNoHinting);
}

void ReportCanvas::setFontName(const QString& name)
{
    m_font.setFamily(name);
}

void ReportCanvas::setFontSize(double points)
{
    // A font cannot be smaller than nothing; keep one printable size.
    m_font.setPointSizeF(points > 1.0 ? points : 1.0);
}

void ReportCanvas::setBold(bool bold)
{
    m_font.setBold(bold);
}

double ReportCanvas::lineHeight() const
{
    // QFontMetricsF wants a non-const device; it only reads its resolution.
    return QFontMetricsF(m_font, const_cast<QPaintDevice*>(m_metrics)).lineSpacing();
}

double ReportCanvas::textWidth(const QString& text) const
{
    return QFontMetricsF(m_font, const_cast<QPaintDevice*>(m_metrics)).horizontalAdvance(text);
}

void ReportCanvas::print(const QString& text)
{
    const double advance = lineHeight();
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\r', start);
        const QString line = text.mid(start, end < 0 ? -1 : end - start);
        if (m_cursor.y() < kPageHeight && !line.isEmpty())
            drawLine(m_cursor, line);
        m_cursor = QPointF(0, m_cursor.y() + advance);
        if (end < 0)
            break;
        start = end + 1;
    }
}
