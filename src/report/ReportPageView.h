#pragma once

#include <QPicture>
#include <QWidget>

// The page picture PI: a white sheet showing the composed report. It takes
// the keyboard focus and hands key presses to the window (PI_KeyDown).
class ReportPageView final : public QWidget
{
    Q_OBJECT

public:
    explicit ReportPageView(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ReportPageView)

    void setPage(const QPicture& page);
    const QPicture& page() const { return m_page; }

signals:
    void keyDown(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPicture m_page;
};
