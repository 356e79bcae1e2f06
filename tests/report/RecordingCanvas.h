#pragma once

#include "ReportCanvas.h"

#include <QList>
#include <QPicture>

// A canvas that keeps every line it is given, with where and in which font,
// so a test can hold the composed page against the expected one.
class RecordingCanvas final : public ReportCanvas
{
public:
    struct Op
    {
        QString text;
        double x = 0;
        double y = 0;
        double size = 0;
        bool bold = false;
        QString family;
        double lineHeight = 0;
    };

    RecordingCanvas();
    Q_DISABLE_COPY_MOVE(RecordingCanvas)

    const QList<Op>& ops() const { return m_ops; }
    // The first line whose text is exactly `text`; nullptr when none is.
    const Op* find(const QString& text) const;

protected:
    void drawLine(const QPointF& topLeft, const QString& line) override;

private:
    QPicture m_metrics; // same resolution as the painted page
    QList<Op> m_ops;
};
