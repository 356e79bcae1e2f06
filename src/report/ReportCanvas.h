#pragma once

#include <QFont>
#include <QPointF>
#include <QString>

class QPaintDevice;

// The surface the calorie report is composed on: a font, a text cursor and
// lines of text, in pixels of a page of 774 x 1127 at 96 dots per inch.
//
// print() draws a text with its top-left corner at the cursor and then moves
// the cursor to the start of the next line (x = 0, y + one line of the current
// font). A carriage return inside the text ends a line the same way. What
// subclasses do with each line is theirs: paint it, or record it for a test.
class ReportCanvas
{
public:
    static constexpr int kPageWidth = 774;
    static constexpr int kPageHeight = 1127;

    virtual ~ReportCanvas() = default;
    Q_DISABLE_COPY_MOVE(ReportCanvas)

    void setFontName(const QString& name);
    void setFontSize(double points);
    double fontSize() const { return m_font.pointSizeF(); }
    void setBold(bool bold);
    const QFont& font() const { return m_font; }

    void setX(double x) { m_cursor.setX(x); }
    void setY(double y) { m_cursor.setY(y); }
    double x() const { return m_cursor.x(); }
    double y() const { return m_cursor.y(); }

    void print(const QString& text);
    // Height of one line of the current font on this page.
    double lineHeight() const;
    // Width of `text` in the current font on this page.
    double textWidth(const QString& text) const;

protected:
    // Line heights are measured on `metrics`, a device of the page's
    // resolution, so a recording and a painting canvas lay out alike.
    explicit ReportCanvas(const QPaintDevice* metrics);

    // One line of text, without carriage returns, with its top-left corner at
    // `topLeft`. Lines that start below the page are not passed on: they
    // would be cut off anyway, and this keeps the record bounded.
    virtual void drawLine(const QPointF& topLeft, const QString& line) = 0;

private:
    const QPaintDevice* m_metrics;
    QFont m_font;
    QPointF m_cursor;
};
