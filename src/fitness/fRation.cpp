#include "fitness/fRation.h"

#include "common/AccessibleNames.h"
#include "common/Dialogs.h"
#include "common/ErrorBox.h"
#include "common/RussianFormat.h"
#include "fitness/RationFile.h"
#include "fitness/fEnergy.h"
#include "recipes/Composition.h"
#include "recipes/RationEntries.h"
#include "report/RationCsv.h"
#include "report/RationTable.h"
#include "report/ReportSource.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kRationFilter = u"Рацион (*.ration)"_s;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// A chosen name without the extension gets it, as the filter promised.
QString withSuffix(const QString& path, const QString& suffix)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + u'.' + suffix;
}

QStringList cellsOf(const RationTable::Row& row)
{
    return {row.number, row.name, row.weight, row.protein, row.fat, row.carb, row.kkal, row.share};
}

} // namespace

fRation::fRation(fEnergy& energy, RationEntries& ration, const ReportSource& source)
    : QWidget(&energy, Qt::Window), m_energy(energy), m_ration(ration), m_source(source)
{
    setObjectName(u"fRation"_s);
    setWindowTitle(u"Рацион"_s);

    lGroup = new QLabel(this);
    lGroup->setObjectName(u"lGroup"_s);
    lGroup->setTextFormat(Qt::PlainText); // the group comes from the server
    lGroup->setWordWrap(true);

    tRation = new QTableWidget(0, ColumnCount, this);
    tRation->setObjectName(u"tRation"_s);
    tRation->setHorizontalHeaderLabels({u"№"_s, u"Изделие (блюдо)"_s, u"Выход, г"_s, u"Белки, г"_s,
                                        u"Жиры, г"_s, u"Углеводы, г"_s, u"Ккал"_s, u"% потребности"_s});
    tRation->verticalHeader()->hide();
    tRation->setSelectionBehavior(QAbstractItemView::SelectRows);
    tRation->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tRation->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    tRation->setWordWrap(false);
    tRation->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);

    cDelete = makeButton(this, "cDelete", u"&Удалить"_s);
    cUp = makeButton(this, "cUp", u"&Выше"_s);
    cDown = makeButton(this, "cDown", u"&Ниже"_s);
    cClearall = makeButton(this, "cClearall", u"О&чистить"_s);
    cOpen = makeButton(this, "cOpen", u"&Открыть…"_s);
    cSave = makeButton(this, "cSave", u"&Сохранить…"_s);
    cCsv = makeButton(this, "cCsv", u"&Экспорт в CSV…"_s);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cDelete, cUp, cDown, cClearall})
        buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : {cOpen, cSave, cCsv})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lGroup);
    layout->addWidget(tRation);
    layout->addLayout(buttons);

    connect(cDelete, &QPushButton::clicked, this, &fRation::deleteSelected);
    connect(cUp, &QPushButton::clicked, this, [this] { moveCurrent(-1); });
    connect(cDown, &QPushButton::clicked, this, [this] { moveCurrent(1); });
    connect(cClearall, &QPushButton::clicked, this, &fRation::clearAll);
    connect(cOpen, &QPushButton::clicked, this, &fRation::openFile);
    connect(cSave, &QPushButton::clicked, this, &fRation::saveFile);
    connect(cCsv, &QPushButton::clicked, this, &fRation::exportCsv);
    connect(tRation, &QTableWidget::itemChanged, this, &fRation::changeWeight);
    const auto key = [this](const QKeySequence& sequence, auto slot) {
        auto* shortcut = new QShortcut(sequence, this, slot);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    };
    key(QKeySequence::Delete, [this] { deleteSelected(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { moveCurrent(-1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { moveCurrent(1); });
    key(QKeySequence(Qt::Key_Escape), [this] { close(); });

    AccessibleNames::describe(this);
    resize(820, 480);
    refresh();
}

void fRation::refresh()
{
    const RationTable table = RationTable::from(m_source);
    const QString need = table.need > 0 ? RussianFormat::shortest(table.need) + u" ккал"_s : u"неизвестна"_s;
    lGroup->setText(u"Группа: "_s + table.group + u"\nСуточная потребность: "_s + need);

    m_filling = true;
    const int current = tRation->currentRow();
    tRation->setRowCount(int(table.rows.size()) + 1);
    for (int r = 0; r <= table.rows.size(); ++r) {
        const bool totals = r == table.rows.size();
        const QStringList cells = cellsOf(totals ? table.totals : table.rows[r]);
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            Qt::ItemFlags flags = Qt::ItemIsEnabled;
            if (!totals)
                flags |= Qt::ItemIsSelectable | (c == Weight ? Qt::ItemIsEditable : Qt::NoItemFlags);
            item->setFlags(flags);
            if (c != Name)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (totals) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            tRation->setItem(r, c, item);
        }
    }
    // Every column but the name, which takes the room that is left.
    for (int c = 0; c < ColumnCount; ++c) {
        if (c != Name)
            tRation->resizeColumnToContents(c);
    }
    if (current >= 0 && current < table.rows.size())
        tRation->setCurrentCell(current, Weight);
    m_filling = false;

    const bool any = !table.rows.isEmpty();
    for (QPushButton* b : {cDelete, cUp, cDown, cClearall, cSave, cCsv})
        b->setEnabled(any);
}

void fRation::changed(int currentRow)
{
    m_energy.syncAddCaption();
    refresh();
    if (currentRow >= 0 && currentRow < m_ration.count())
        tRation->setCurrentCell(currentRow, Weight);
}

void fRation::deleteSelected()
{
    QList<int> indices;
    for (const QModelIndex& index : tRation->selectionModel()->selectedRows())
        if (index.row() < m_ration.count())
            indices << index.row() + 1;
    if (indices.isEmpty())
        return;
    const int first = *std::min_element(indices.begin(), indices.end()) - 1;
    m_ration.remove(indices);
    tRation->clearSelection();
    changed(std::min(first, m_ration.count() - 1));
}

void fRation::moveCurrent(int step)
{
    const int row = tRation->currentRow();
    if (row < 0 || row >= m_ration.count() || !m_ration.move(row + 1, step))
        return;
    tRation->clearSelection();
    changed(row + step);
}

void fRation::clearAll()
{
    if (m_ration.isEmpty())
        return;
    if (Dialogs::message(u"Очистить рацион?"_s, Dialogs::Buttons::YesNo, Dialogs::Icon::Question) !=
        Dialogs::Answer::Yes)
        return;
    m_ration.reset();
    changed();
}

void fRation::changeWeight(QTableWidgetItem* item)
{
    if (m_filling || item->column() != Weight || item->row() >= m_ration.count())
        return;
    const int i = item->row() + 1;
    const QString typed = item->text().trimmed();
    if (typed == m_ration.GetDishWeight(i))
        return;
    switch (m_ration.setWeight(i, typed)) {
    case RationEntries::AddResult::Added:
        break;
    case RationEntries::AddResult::WeightUnreadable:
        Show_Error(RationEntries::EditWeightRefusedMessage, QString(), QString(), 0);
        break;
    default:
        Show_Error(Composition::LoadFailedMessage, QString(), QString(), 0);
        break;
    }
    // Refused or not, the table shows the ration as it now is; the box above
    // may have run a nested event loop, so the item is not touched again.
    QMetaObject::invokeMethod(
        this, [this, row = i - 1] { changed(row); }, Qt::QueuedConnection);
}

QString fRation::documentsPath(const QString& fileName)
{
    // A fresh account may have no documents folder yet; its home is next best.
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return (documents.exists() ? documents : QDir::home()).filePath(fileName);
}

void fRation::openFile()
{
    const QString path = Dialogs::openFileName(u"Открыть рацион"_s, documentsPath(QString()), kRationFilter);
    if (path.isEmpty())
        return;
    const RationFile::Result read = RationFile::open(path);
    if (!read.ok()) {
        Dialogs::message(read.error, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    if (!m_ration.isEmpty() &&
        Dialogs::message(u"Заменить текущий рацион блюдами из файла «%1»?"_s.arg(QFileInfo(path).fileName()),
                         Dialogs::Buttons::YesNo, Dialogs::Icon::Question) != Dialogs::Answer::Yes)
        return;
    m_ration.replace(read.content.entries);
    m_energy.chooseGroup(read.content.women, read.content.kfa, read.content.age);
    changed(0);
}

void fRation::saveFile()
{
    const QString path = withSuffix(
        Dialogs::saveFileName(u"Сохранить рацион"_s, documentsPath(u"рацион.ration"_s), kRationFilter),
        RationFile::Extension);
    if (path.isEmpty())
        return;
    RationFile::Content content = m_energy.chosenGroup();
    content.entries = m_ration.entries();
    const QString error = RationFile::save(path, content);
    if (!error.isEmpty())
        Dialogs::message(error, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

void fRation::exportCsv()
{
    const QString path = withSuffix(
        Dialogs::saveFileName(u"Экспорт в CSV"_s, documentsPath(u"рацион.csv"_s), u"CSV (*.csv)"_s),
        u"csv"_s);
    if (path.isEmpty())
        return;
    const QString error =
        RationFile::write(path, RationCsv::write(RationTable::from(m_source), QDate::currentDate()));
    if (!error.isEmpty())
        Dialogs::message(error, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}
