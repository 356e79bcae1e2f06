#pragma once

#include "report/ReportCanvas.h"

#include <QPainter>
#include <QPicture>

// Paints the report into a QPicture: a resolution-independent record of the
// page that the preview shows and the printer plays at its own resolution.
class PictureCanvas final : public ReportCanvas
{
public:
    PictureCanvas();
    ~PictureCanvas() override;
    Q_DISABLE_COPY_MOVE(PictureCanvas)

    // Ends the recording and hands out the page (774 x 1127). The canvas
    // draws nothing more afterwards.
    QPicture takePicture();

protected:
    void drawLine(const QPointF& topLeft, const QString& line) override;

private:
    QPicture m_picture;
    QPainter m_painter;
};
