#pragma once

#include "report/RationTable.h"

#include <QAbstractTableModel>

class ChosenGroup;
class RationEntries;
class ReportSource;

// The ration as the ration window shows it: the rows of RationTable (the
// report's own figures) and its totals row, following the ration and the
// chosen group as they change. Only a dish's weight is edited: the ration
// rescales the dish to it.
class RationModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
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

    // None of the arguments is owned.
    RationModel(RationEntries& ration, const ChosenGroup& group, const ReportSource& source,
                QObject* parent = nullptr);

    // The figures on show, with the group and its need.
    const RationTable& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A typed weight was refused and the dish kept as it was; the reason in Russian.
    void weightRefused(const QString& reason);

private:
    void rebuild();

    RationEntries& m_ration;
    const ReportSource& m_source;
    RationTable m_table;
};
