#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class RationEntries;
class ReportSource;
class fEnergy;

// The ration window "Рацион": the dishes of the ration in order with their
// figures as the report computes them, and the ration's editing, files and
// spreadsheet export. It belongs to the fitness window: one instance, opened
// from "&Рацион…", closed with it. Closing it changes nothing.
class fRation final : public QWidget
{
    Q_OBJECT

public:
    // The table columns; the weight is the one edited in place.
    enum Column
    {
        Number,
        Name,
        Weight,
        Protein,
        Fat,
        Carb,
        Kkal,
        Share,
        ColumnCount
    };

    // Neither argument is owned; `energy` is also the parent.
    fRation(fEnergy& energy, RationEntries& ration, const ReportSource& source);
    Q_DISABLE_COPY_MOVE(fRation)

    // Rebuilds the table from the ration, the group and its need.
    void refresh();

    // Actions, each also on a key.
    void deleteSelected();      // Delete
    void moveCurrent(int step); // Ctrl+Up (-1), Ctrl+Down (+1)
    void clearAll();            // after a question
    void openFile();
    void saveFile();
    void exportCsv();

private:
    void changeWeight(QTableWidgetItem* item);
    // Everything that changes the ration ends here: table, fitness window.
    void changed(int currentRow = -1);
    static QString documentsPath(const QString& fileName);

    fEnergy& m_energy;
    RationEntries& m_ration;
    const ReportSource& m_source;
    bool m_filling = false;

    QLabel* lGroup = nullptr;
    QTableWidget* tRation = nullptr;
    QPushButton* cDelete = nullptr;
    QPushButton* cUp = nullptr;
    QPushButton* cDown = nullptr;
    QPushButton* cClearall = nullptr;
    QPushButton* cOpen = nullptr;
    QPushButton* cSave = nullptr;
    QPushButton* cCsv = nullptr;
};
