#include "fitness/RationModel.h"

#include "fitness/ChosenGroup.h"
#include "recipes/Composition.h"
#include "recipes/RationEntries.h"

#include <QFont>

using namespace Qt::Literals::StringLiterals;

RationModel::RationModel(RationEntries& ration, const ChosenGroup& group, const ReportSource& source,
                         QObject* parent)
    : QAbstractTableModel(parent), m_ration(ration), m_source(source), m_table(RationTable::from(source))
{
    connect(&ration, &RationEntries::changed, this, &RationModel::rebuild);
    connect(&group, &ChosenGroup::changed, this, &RationModel::rebuild);
}

void RationModel::rebuild()
{
    RationTable table = RationTable::from(m_source);
    if (table.rows.size() != m_table.rows.size()) {
        beginResetModel();
        m_table = std::move(table);
        endResetModel();
        return;
    }
    // The same rows: the view keeps its current cell and its open editor.
    m_table = std::move(table);
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int RationModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_table.rows.size()) + 1;
}

int RationModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RationModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool totals = index.row() == m_table.rows.size();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const RationTable::Row& row = totals ? m_table.totals : m_table.rows[index.row()];
        const QString cells[ColumnCount] = {row.number, row.name, row.weight, row.protein,
                                            row.fat,    row.carb, row.kkal,   row.share};
        return cells[index.column()];
    }
    case Qt::TextAlignmentRole:
        return index.column() == Name ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        if (totals) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QVariant RationModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QString headers[ColumnCount] = {u"№"_s,        u"Изделие (блюдо)"_s, u"Выход, г"_s,
                                                 u"Белки, г"_s, u"Жиры, г"_s,         u"Углеводы, г"_s,
                                                 u"Ккал"_s,     u"% потребности"_s};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return headers[section];
}

Qt::ItemFlags RationModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.row() >= m_ration.count())
        return Qt::ItemIsEnabled; // the totals row
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Weight)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RationModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int i = index.row() + 1;
    const QString typed = value.toString().trimmed();
    if (typed == m_ration.GetDishWeight(i))
        return false;
    switch (m_ration.setWeight(i, typed)) {
    case RationEntries::AddResult::Added:
        return true; // the ration's changed() has refreshed the figures
    case RationEntries::AddResult::WeightUnreadable:
        emit weightRefused(RationEntries::EditWeightRefusedMessage);
        return false;
    default:
        emit weightRefused(Composition::LoadFailedMessage);
        return false;
    }
}
