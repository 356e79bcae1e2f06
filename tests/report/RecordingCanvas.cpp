#include "RecordingCanvas.h"

RecordingCanvas::RecordingCanvas() : ReportCanvas(&m_metrics) {}

const RecordingCanvas::Op* RecordingCanvas::find(const QString& text) const
{
    for (const Op& op : m_ops)
        if (op.text == text)
            return &op;
    return nullptr;
}

void RecordingCanvas::drawLine(const QPointF& topLeft, const QString& line)
{
    m_ops << Op{line,          topLeft.x(),     topLeft.y(), font().pointSizeF(),
                font().bold(), font().family(), lineHeight()};
}
