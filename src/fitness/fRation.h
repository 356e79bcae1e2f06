#pragma once

#include <QString>
#include <QWidget>

class ChosenGroup;
class QLabel;
class QPushButton;
class QTableView;
class RationEntries;
class RationModel;
class ReportSource;

// The ration window "Рацион": the dishes of the ration in order with their
// figures as the report computes them, and the ration's editing, files and
// spreadsheet export. It follows the ration and the chosen group as they
// change, whoever changes them; a ration file's group goes to the chosen
// group, which the fitness window follows. Closing it changes nothing.
class fRation final : public QWidget
{
    Q_OBJECT

public:
    // None of the arguments is owned; the fitness window is the parent.
    fRation(RationEntries& ration, ChosenGroup& group, const ReportSource& source, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(fRation)

    // Actions, each also on a key.
    void deleteSelected();      // Delete
    void moveCurrent(int step); // Ctrl+Up (-1), Ctrl+Down (+1)
    void clearAll();            // after a question
    void openFile();
    void saveFile();
    void exportCsv();

private:
    // The group line and the buttons, after the figures changed.
    void showState();
    void setCurrentRow(int row);

    RationEntries& m_ration;
    ChosenGroup& m_group;
    RationModel* m_model = nullptr;
    int m_keptRow = -1;

    QLabel* lGroup = nullptr;
    QTableView* tRation = nullptr;
    QPushButton* cDelete = nullptr;
    QPushButton* cUp = nullptr;
    QPushButton* cDown = nullptr;
    QPushButton* cClearall = nullptr;
    QPushButton* cOpen = nullptr;
    QPushButton* cSave = nullptr;
    QPushButton* cCsv = nullptr;
};
