#include "fitness/fRation.h"

#include "common/AccessibleNames.h"
#include "common/DesignedControls.h"
#include "common/Dialogs.h"
#include "common/ErrorBox.h"
#include "common/RussianFormat.h"
#include "fitness/ChosenGroup.h"
#include "fitness/RationFile.h"
#include "fitness/RationModel.h"
#include "recipes/RationEntries.h"
#include "report/RationCsv.h"
#include "report/RationTable.h"

#include <QDate>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kRationFilter = u"Рацион (*.ration)"_s;

// A chosen name without the extension gets it, as the filter promised.
QString withSuffix(const QString& path, const QString& suffix)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + u'.' + suffix;
}

} // namespace

fRation::fRation(RationEntries& ration, ChosenGroup& group, const ReportSource& source, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ration(ration), m_group(group),
      m_model(new RationModel(ration, group, source, this))
{
    setObjectName(u"fRation"_s);
    setWindowTitle(u"Рацион"_s);

    lGroup = new QLabel(this);
    lGroup->setObjectName(u"lGroup"_s);
    lGroup->setTextFormat(Qt::PlainText); // the group comes from the server
    lGroup->setWordWrap(true);

    tRation = new QTableView(this);
    tRation->setObjectName(u"tRation"_s);
    tRation->setModel(m_model);
    tRation->verticalHeader()->hide();
    tRation->setSelectionBehavior(QAbstractItemView::SelectRows);
    tRation->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tRation->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    tRation->setWordWrap(false);
    // Every column but the name, which takes the room that is left.
    tRation->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tRation->horizontalHeader()->setSectionResizeMode(RationModel::Name, QHeaderView::Stretch);

    cDelete = DesignedControls::make<QPushButton>(this, u"cDelete"_s, u"&Удалить"_s);
    cUp = DesignedControls::make<QPushButton>(this, u"cUp"_s, u"&Выше"_s);
    cDown = DesignedControls::make<QPushButton>(this, u"cDown"_s, u"&Ниже"_s);
    cClearall = DesignedControls::make<QPushButton>(this, u"cClearall"_s, u"О&чистить"_s);
    cOpen = DesignedControls::make<QPushButton>(this, u"cOpen"_s, u"&Открыть…"_s);
    cSave = DesignedControls::make<QPushButton>(this, u"cSave"_s, u"&Сохранить…"_s);
    cCsv = DesignedControls::make<QPushButton>(this, u"cCsv"_s, u"&Экспорт в CSV…"_s);

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
    connect(m_model, &RationModel::weightRefused, this,
            [](const QString& reason) { showInputError(reason); });
    // A new count of rows starts the view afresh: the current row stays where it was.
    connect(m_model, &RationModel::modelAboutToBeReset, this,
            [this] { m_keptRow = tRation->currentIndex().row(); });
    connect(m_model, &RationModel::modelReset, this, [this] { setCurrentRow(m_keptRow); });
    connect(m_model, &RationModel::modelReset, this, &fRation::showState);
    connect(m_model, &RationModel::dataChanged, this, &fRation::showState);
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
    showState();
}

void fRation::showState()
{
    const RationTable& table = m_model->table();
    const QString need = table.need > 0 ? RussianFormat::shortest(table.need) + u" ккал"_s : u"неизвестна"_s;
    lGroup->setText(u"Группа: "_s + table.group + u"\nСуточная потребность: "_s + need);
    const bool any = !table.rows.isEmpty();
    for (QPushButton* b : {cDelete, cUp, cDown, cClearall, cSave, cCsv})
        b->setEnabled(any);
}

void fRation::setCurrentRow(int row)
{
    if (row >= 0 && row < m_ration.count())
        tRation->setCurrentIndex(m_model->index(row, RationModel::Weight));
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
    setCurrentRow(std::min(first, m_ration.count() - 1));
}

void fRation::moveCurrent(int step)
{
    const int row = tRation->currentIndex().row();
    if (row < 0 || row >= m_ration.count() || !m_ration.move(row + 1, step))
        return;
    tRation->clearSelection();
    setCurrentRow(row + step);
}

void fRation::clearAll()
{
    if (m_ration.isEmpty())
        return;
    if (Dialogs::message(u"Очистить рацион?"_s, Dialogs::Buttons::YesNo, Dialogs::Icon::Question) !=
        Dialogs::Answer::Yes)
        return;
    m_ration.reset();
}

void fRation::openFile()
{
    const QString path = Dialogs::openFileName(u"Открыть рацион"_s, Dialogs::inDocuments(), kRationFilter);
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
    m_group.request({read.content.women, read.content.kfa, read.content.age});
    setCurrentRow(0);
}

void fRation::saveFile()
{
    const QString path = withSuffix(
        Dialogs::saveFileName(u"Сохранить рацион"_s, Dialogs::inDocuments(u"рацион.ration"_s), kRationFilter),
        RationFile::Extension);
    if (path.isEmpty())
        return;
    const ChosenGroup::Group& group = m_group.current();
    const RationFile::Content content{m_ration.entries(), group.women, group.kfa, group.age};
    const QString error = RationFile::save(path, content);
    if (!error.isEmpty())
        Dialogs::message(error, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

void fRation::exportCsv()
{
    const QString path = withSuffix(
        Dialogs::saveFileName(u"Экспорт в CSV"_s, Dialogs::inDocuments(u"рацион.csv"_s), u"CSV (*.csv)"_s),
        u"csv"_s);
    if (path.isEmpty())
        return;
    const QString error = RationFile::write(path, RationCsv::write(m_model->table(), QDate::currentDate()));
    if (!error.isEmpty())
        Dialogs::message(error, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}
