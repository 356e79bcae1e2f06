#pragma once

#include "report/PreviewLayout.h"

#include <QDate>
#include <QPicture>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;
class ReportPageView;
class ReportSource;

// The print preview: the calorie report as a white page on a grey ground,
// scrolled with the bars or the arrow keys, printed with one button or saved
// as a PDF file. Each window is independent, deletes itself when closed, and
// holds only the page it composed while loading; a changed ration needs a new
// preview.
class fPreView final : public QWidget
{
    Q_OBJECT

public:
    // Loads the window: warns about an empty ration, sets the scroll ranges,
    // lists the printers and composes the page, in that order. `visitDate` is
    // the date printed on the page.
    explicit fPreView(const ReportSource& source, QWidget* parent = nullptr,
                      QDate visitDate = QDate::currentDate());
    ~fPreView() override;
    Q_DISABLE_COPY_MOVE(fPreView)

    // The composed page, as shown, printed and saved.
    const QPicture& page() const { return m_page; }
    // The printer the print button prints on: the one chosen in the list,
    // at first the system's default. Empty when no printer is installed.
    QString printerName() const;
    // The scroll ranges set while loading.
    const PreviewLayout::Ranges& ranges() const { return m_ranges; }

    void cmdPrint_Click();
    void cmdPdf_Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Init_Scroll();
    void Show_Printers(QComboBox* cObj);
    void Form_Kkal(const ReportSource& source, QDate visitDate);
    void Form_Activate();
    void Form_Resize();
    void PI_KeyDown(int key);

    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPdf = nullptr;
    QLabel* lPrinters = nullptr;
    QComboBox* cPrinters = nullptr;
    QWidget* piBack = nullptr;
    ReportPageView* PI = nullptr;
    QScrollBar* VS = nullptr;
    QScrollBar* HS = nullptr;
    QPicture m_page;
    PreviewLayout::Ranges m_ranges;
};

// What the fitness window's print button calls: a new preview of the ration
// as it is now, shown at once, on every call.
fPreView* openPreview(const ReportSource& source, QWidget* parent = nullptr);
