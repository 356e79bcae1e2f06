#include "fitness/fEnergy.h"

#include "common/AccessibleNames.h"
#include "common/CutEntryTips.h"
#include "common/DesignedControls.h"
#include "common/Dialogs.h"
#include "common/ErrorBox.h"
#include "common/ListSearch.h"
#include "common/NumberHelpers.h"
#include "common/RussianFormat.h"
#include "common/Settings.h"
#include "common/TextSelection.h"
#include "common/Twips.h"
#include "fitness/NormTable.h"
#include "fitness/fRation.h"
#include "fitness/layout/FitnessLayout.h"
#include "protocol/ProtocolWords.h"
#include "protocol/ServerLink.h"
#include "recipes/Catalogue.h"
#include "recipes/Composition.h"
#include "recipes/CompositionDisplay.h"
#include "recipes/RationEntries.h"
#include "recipes/RecipeData.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <iterator>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The font size the design was drawn at, and a ceiling well above any size a
// person sets on purpose: a stray huge value must not make the window unusable.
constexpr double kDefaultFontSize = 24;
constexpr double kLargestFontSize = 400;

// The client area as designed, in twips.
constexpr float kDesignClientWidth = 11400;
constexpr float kDesignClientHeight = 7695;

QIcon energyIcon()
{
    QIcon icon;
    for (const int size : {16, 32})
        icon.addFile(u":/icons/windows/energy-%1.png"_s.arg(size));
    return icon;
}

// Refills a list in one go: no per-entry repaint and no selection handling
// while the old entries go and the new ones come.
void refill(QListWidget* list, const QStringList& entries)
{
    const QSignalBlocker blocker(list);
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(entries);
    list->setUpdatesEnabled(true);
    // The view keeps its scroll offset across a clear: a new list would open
    // with its first entries hidden above the top.
    list->scrollToTop();
}

// A list once filled always keeps one entry selected: Ctrl+click or Ctrl+Space
// on the selected entry would otherwise clear it. The entry comes back without
// a second notification, so nothing is asked of the server again.
bool keepOneSelected(QListWidget* list)
{
    if (!list->selectedItems().isEmpty() || !list->currentItem())
        return false;
    const QSignalBlocker blocker(list);
    list->currentItem()->setSelected(true);
    return true;
}

void refill(QComboBox* combo, const QStringList& entries)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(entries);
    // A combo box selects the first entry it receives by itself; the caller
    // makes that selection so that it counts as a change.
    combo->setCurrentIndex(-1);
}

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// The character code the key would type, or 0 for a key that types nothing
// (arrows, Delete, function keys): those never reach a key-press handler.
int keyAscii(const QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete || event->text().isEmpty())
        return 0;
    return event->text().at(0).unicode();
}

} // namespace

fEnergy::fEnergy(RecipeData& recipes, QString& sNorm, ChosenGroup& group, ServerLink& link, QWidget* parent)
    : QWidget(parent), m_recipes(recipes), m_sNorm(sNorm), m_group(group), m_link(link)
{
    setObjectName(u"fEnergy"_s);
    setWindowTitle(u"Запрос калорийности с сервера"_s);
    setWindowIcon(energyIcon());
    createControls();
    placeControls();
    resize(Twips::toPixels(kDesignClientWidth, logicalDpiX()),
           Twips::toPixels(kDesignClientHeight, logicalDpiY()));
    connectControls();
}

fEnergy::~fEnergy() = default;

void fEnergy::createControls()
{
    cMan = DesignedControls::make<QCheckBox>(this, u"cMan"_s, u"&М"_s);
    cMan->setToolTip(u"Мужчины"_s);
    cMan->setChecked(true);

    cGirl = DesignedControls::make<QCheckBox>(this, u"cGirl"_s, u"&Ж"_s);
    cGirl->setToolTip(u"Женщины"_s);

    lKFA = DesignedControls::make<QLabel>(this, u"lKFA"_s, u"&КФА"_s);
    cKFA = DesignedControls::make<QComboBox>(this, u"cKFA"_s);
    cKFA->setEditable(false);
    cKFA->setToolTip(u"Коэффициент физической активности"_s);
    lKFA->setBuddy(cKFA);

    lVozr = DesignedControls::make<QLabel>(this, u"lVozr"_s, u"&Возраст"_s);
    cVozr = DesignedControls::make<QComboBox>(this, u"cVozr"_s);
    cVozr->setEditable(false);
    cVozr->setToolTip(u"Возраст"_s);
    lVozr->setBuddy(cVozr);

    lBases = DesignedControls::make<QListWidget>(this, u"lBases"_s);
    lBases->setProperty("Tag", u"lFindBB"_s);
    lDishes = DesignedControls::make<QListWidget>(this, u"lDishes"_s);
    lDishes->setProperty("Tag", u"lFindD"_s);
    for (QListWidget* list : {lBases, lDishes}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // Tens of thousands of one-line entries: measuring each one would
        // cost more than filling the list.
        list->setUniformItemSizes(true);
        list->installEventFilter(this);
        // Type-to-search: keys other than Enter and the focus go to mFind,
        // which shows the search in the label the list's Tag names.
        ListSearch::install(list);
        CutEntryTips::install(list);
    }

    const QString blanks(26, u' ');
    lFindBB = DesignedControls::make<QLabel>(this, u"lFindBB"_s, blanks);
    lFindBB->setProperty("Tag", QString());
    lFindD = DesignedControls::make<QLabel>(this, u"lFindD"_s, blanks);
    lFindD->setProperty("Tag", QString());

    lOut = DesignedControls::make<QLabel>(this, u"lOut"_s, u"В&ыход"_s);
    tOut = DesignedControls::make<QLineEdit>(this, u"tOut"_s);
    tOut->installEventFilter(this);
    lOut->setBuddy(tOut);

    cClear = DesignedControls::make<QPushButton>(this, u"cClear"_s, u"&Х"_s);

    lHS = DesignedControls::make<QLabel>(this, u"lHS"_s, QString());
    lHS->setWordWrap(true);
    lHS->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cAdd = DesignedControls::make<QPushButton>(this, u"cAdd"_s, u"&Добавить"_s);
    cClearall = DesignedControls::make<QPushButton>(this, u"cClearall"_s, u"&Очистить"_s);
    cPrint = DesignedControls::make<QPushButton>(this, u"cPrint"_s, u"&Печать"_s);

    cRation = DesignedControls::make<QPushButton>(this, u"cRation"_s, u"&Рацион…"_s);
    // Out of the designed tab chain, which runs from cPrint back to cMan;
    // its mnemonic reaches it from the keyboard.
    cRation->setFocusPolicy(Qt::ClickFocus);

    QWidget* const order[] = {cMan, cGirl,  cKFA, cVozr,     lBases, lDishes,
                              tOut, cClear, cAdd, cClearall, cPrint};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    AccessibleNames::describe(this);
}

void fEnergy::placeControls()
{
    DesignedControls::place(*this, m_layout.placements());
}

void fEnergy::connectControls()
{
    connect(lBases, &QListWidget::itemSelectionChanged, this, &fEnergy::lBases_Click);
    connect(lDishes, &QListWidget::itemSelectionChanged, this, &fEnergy::lDishes_Click);
    connect(tOut, &QLineEdit::textChanged, this, &fEnergy::tOut_Change);
    connect(cClear, &QPushButton::clicked, this, &fEnergy::cClear_Click);
    connect(cAdd, &QPushButton::clicked, this, &fEnergy::cAdd_Click);
    connect(cClearall, &QPushButton::clicked, this, &fEnergy::cClearall_Click);
    connect(cMan, &QCheckBox::toggled, this, &fEnergy::cMan_Click);
    connect(cGirl, &QCheckBox::toggled, this, &fEnergy::cGirl_Click);
    connect(cKFA, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            cKFA_Click();
    });
    connect(cPrint, &QPushButton::clicked, this, &fEnergy::cPrint_Click);
    connect(cRation, &QPushButton::clicked, this, &fEnergy::openRation);
    // The ration window and the ration files follow the group.
    connect(cMan, &QCheckBox::toggled, this, &fEnergy::publishGroup);
    connect(cKFA, &QComboBox::currentIndexChanged, this, &fEnergy::publishGroup);
    connect(cVozr, &QComboBox::currentIndexChanged, this, &fEnergy::publishGroup);
    connect(&m_group, &ChosenGroup::requested, this, &fEnergy::chooseGroup);
}

// ---- Ration window ----------------------------------------------------------

void fEnergy::openRation()
{
    if (!m_reportSource)
        return;
    if (!m_ration)
        m_ration = new fRation(m_recipes.rationEntries(), m_group, *m_reportSource, this);
    m_ration->show();
    m_ration->raise();
    m_ration->activateWindow();
}

fRation* fEnergy::rationWindow() const
{
    return m_ration;
}

void fEnergy::syncAddCaption()
{
    const int count = m_recipes.rationEntries().count();
    cAdd->setText(count > 0 ? u"Добавить ("_s + QString::number(count) + u')' : u"Добавить"_s);
}

void fEnergy::publishGroup()
{
    m_group.setCurrent({cGirl->isChecked(), cKFA->currentText(), cVozr->currentText()});
}

void fEnergy::chooseGroup(const ChosenGroup::Group& group)
{
    if (cGirl->isChecked() != group.women)
        cGirl->setChecked(group.women); // asks for that sex's table; chosen when it arrives
    else
        selectGroup(group);
}

void fEnergy::selectGroup(const ChosenGroup::Group& group)
{
    const int k = cKFA->findText(group.kfa, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (k < 0)
        return;
    cKFA->setCurrentIndex(k); // rebuilds the age list for it
    const int a = cVozr->findText(group.age, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (a >= 0)
        cVozr->setCurrentIndex(a);
}

void fEnergy::load()
{
    bool ok = false;
    const int status = Setting::ResizeStatus.get().trimmed().toInt(&ok);
    if (ok && status == 1)
        setWindowState(Qt::WindowMinimized);
    else if (ok && status == 2)
        setWindowState(Qt::WindowMaximized);
    else
        setWindowState(Qt::WindowNoState);

    m_recipes.rationEntries().reset();
    // Only after the reset: a fresh window shows the designed "&Добавить".
    connect(&m_recipes.rationEntries(), &RationEntries::changed, this, &fEnergy::syncAddCaption);
    Get_Font();
    cMan_Click();
}

double fEnergy::fontSizeFromSetting(const QString& text)
{
    const auto value = RussianFormat::toDouble(text);
    if (!value || *value <= 0)
        return kDefaultFontSize;
    return std::min(*value, kLargestFontSize);
}

void fEnergy::Get_Font()
{
    // The design's "MS Sans Serif" is a Windows bitmap font; the platform's
    // own sans-serif carries Cyrillic everywhere.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(fontSizeFromSetting(Setting::FontSize.get()));
    setFont(font);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setFont(font);
    // These labels size themselves to their caption.
    for (QLabel* label : {lKFA, lVozr, lOut, lFindBB, lFindD})
        label->adjustSize();
}

// ---- Norm tables ----------------------------------------------------------

void fEnergy::Zapros_Fiz()
{
    if (cMan->isChecked()) {
        m_group.normAsked();
        m_link.SendCommand(Proto::Get_Man_Norm);
        m_link.AddStatus(u"Отправили запрос на физиологические нормы для мужчин..."_s);
    }
    if (cGirl->isChecked()) {
        m_group.normAsked();
        m_link.SendCommand(Proto::Get_Girl_Norm);
        m_link.AddStatus(u"Отправили запрос на физиологические нормы для женщин..."_s);
    }
}

void fEnergy::form_fiz_Norm()
{
    if (m_sNorm.isEmpty())
        return;
    const NormTable table(m_sNorm);
    if (table.isUnreadable()) {
        // Nothing of the new table can be chosen, and the old lists no longer
        // belong to the table in sNorm.
        refill(cKFA, {});
        refill(cVozr, {});
        Dialogs::message(NormTable::UnreadableMessage);
        return;
    }
    refill(cKFA, table.kfaList());
    if (cKFA->count() > 0)
        cKFA->setCurrentIndex(0); // runs Form_Vozr, as a user's choice would
    if (const auto& wanted = m_group.wanted())
        selectGroup(*wanted);
}

void fEnergy::Form_Vozr()
{
    if (m_sNorm.isEmpty())
        return;
    refill(cVozr, NormTable(m_sNorm).ageList(cKFA->currentText()));
    if (cVozr->count() > 0)
        cVozr->setCurrentIndex(0);
}

QString fEnergy::GetFullGroup() const
{
    const QString sex = NormTable::sexWord(cMan->isChecked(), cGirl->isChecked());
    if (m_sNorm.isEmpty())
        return sex;
    return NormTable(m_sNorm).GetFullGroup(sex, cKFA->currentText(), cVozr->currentText());
}

double fEnergy::GetFizEnergy() const
{
    if (m_sNorm.isEmpty())
        return 0;
    return NormTable(m_sNorm).GetFizEnergy(cKFA->currentText(), cVozr->currentText());
}

// ---- Catalogue and composition -------------------------------------------

void fEnergy::form_Bases_Bl(const QString& payload)
{
    const Catalogue::CollectionNames collections = Catalogue::collectionNames(payload);
    // The records are handled in turn: the report of an empty record comes
    // before the records after it are listed. It comes once per reply, with
    // their count: a box per record would let a reply of empty records keep
    // the user clicking, and every later reply waiting, for each of them.
    refill(lBases, collections.names.first(collections.namesBeforeFirstEmpty));
    if (collections.emptyRecords > 0) {
        Show_Error(Catalogue::StepFailedMessage + u'\r' +
                       Catalogue::emptyRecordsDescription(collections.emptyRecords),
                   u"Dish_Cli"_s, u"form_Bases_Bl"_s, Catalogue::EmptyRecordCode);
        const QSignalBlocker blocker(lBases);
        lBases->addItems(collections.names.sliced(collections.namesBeforeFirstEmpty));
    }
    if (lBases->count() > 0)
        lBases->setCurrentRow(0); // asks for the dishes of the first collection
    lBases->update();
    show();
    activateWindow();
}

void fEnergy::form_Dishes_Bl(const QString& payload)
{
    const Catalogue::DishNames dishes = Catalogue::dishNames(payload);
    refill(lDishes, dishes.names);
    if (dishes.noDishes) {
        lDishes->setEnabled(false);
        return;
    }
    lDishes->setEnabled(true);
    show();
}

void fEnergy::form_HS_Dish(const QString& composition, bool fromDispatcher)
{
    const CompositionDisplay display =
        CompositionDisplay::form_HS_Dish(composition, fromDispatcher, tOut->text());
    switch (display.outcome()) {
    case CompositionDisplay::Outcome::NotLoaded:
        showInputError(CompositionDisplay::NotLoadedMessage);
        return;
    case CompositionDisplay::Outcome::LoadFailed:
        // Reported when the composition arrives, not again on every edit of
        // the weight; the line of the previous dish must not stay on show.
        if (fromDispatcher)
            showInputError(Composition::LoadFailedMessage);
        lHS->clear();
        return;
    case CompositionDisplay::Outcome::WeightUnreadable:
        lHS->clear();
        return;
    case CompositionDisplay::Outcome::Shown:
        // Re-enters through tOut_Change when the text differs, and ends there.
        // The same text is not written again: QLineEdit::setText would move
        // the caret to the end under the user typing in the middle of a weight.
        if (tOut->text() != display.tOut())
            tOut->setText(display.tOut());
        lHS->setText(display.lHS());
        return;
    }
}

// ---- User actions ---------------------------------------------------------

void fEnergy::lBases_Click()
{
    if (keepOneSelected(lBases))
        return;
    const QList<QListWidgetItem*> selected = lBases->selectedItems();
    if (selected.isEmpty())
        return;
    m_link.SendCommand(Proto::GetDishes + selected.first()->text());
}

void fEnergy::lDishes_Click()
{
    if (keepOneSelected(lDishes))
        return;
    const QList<QListWidgetItem*> dish = lDishes->selectedItems();
    if (dish.isEmpty())
        return;
    const QList<QListWidgetItem*> collection = lBases->selectedItems();
    if (collection.isEmpty()) {
        showInputError(u"Необходимо выбрать группу!"_s);
        return;
    }
    m_link.SendCommand(Proto::GetHSDishes + collection.first()->text() + Proto::Str + dish.first()->text());
}

void fEnergy::tOut_Change()
{
    form_HS_Dish(m_recipes.CurrentHS(), false);
}

void fEnergy::cClear_Click()
{
    tOut->setText(QString());
    tOut->setFocus();
}

void fEnergy::cAdd_Click()
{
    RationEntries& ration = m_recipes.rationEntries();
    switch (ration.add(m_recipes.CurrentHS(), tOut->text())) {
    case RationEntries::AddResult::Added: // the caption follows the ration
        return;
    case RationEntries::AddResult::NoRecipe:
        Dialogs::message(u"Не загружена рецептура!"_s);
        return;
    case RationEntries::AddResult::Full:
        showInputError(u"Один отчет может содержать не больше 25 рецептур!"_s);
        return;
    case RationEntries::AddResult::RecipeUnreadable:
        showInputError(Composition::LoadFailedMessage);
        return;
    case RationEntries::AddResult::WeightUnreadable:
        showInputError(RationEntries::WeightRefusedMessage);
        return;
    }
}

void fEnergy::cClearall_Click()
{
    m_recipes.rationEntries().reset(); // the caption follows the ration
}

// Each box sets the other, and a change made from code counts as a click, so
// a user's click on one box runs the other's handler inside its own. It ends
// because setting a box to the state it already has raises nothing. A sex
// chosen here outranks the group of a ration file opened before.
void fEnergy::cMan_Click()
{
    m_group.dropWanted();
    cGirl->setChecked(!cMan->isChecked());
    Zapros_Fiz();
}

void fEnergy::cGirl_Click()
{
    m_group.dropWanted();
    cMan->setChecked(!cGirl->isChecked());
    Zapros_Fiz();
}

void fEnergy::cKFA_Click()
{
    Form_Vozr();
}

void fEnergy::cPrint_Click()
{
    if (m_printHandler)
        m_printHandler();
}

// ---- Window events --------------------------------------------------------

bool fEnergy::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == tOut) {
            SelectText();
            // The press that brought the focus places the caret and so drops
            // the selection; select again when it is released, as address
            // boxes do, so typing replaces the weight. The next click places
            // the caret.
            m_selectOnRelease = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == tOut && std::exchange(m_selectOnRelease, false) && !tOut->hasSelectedText())
            SelectText();
        break;
    case QEvent::KeyPress:
        if (watched == lBases || watched == lDishes)
            return listKeyPress(static_cast<QListWidget*>(watched), static_cast<QKeyEvent*>(event));
        if (watched == tOut)
            return tOutKeyPress(static_cast<QKeyEvent*>(event));
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool fEnergy::listKeyPress(QListWidget* list, QKeyEvent* event)
{
    if (isEnter(event)) {
        if (list == lBases) {
            lDishes->setFocus();
        } else {
            cAdd_Click();
            lBases->setFocus();
        }
        return true;
    }
    // Every other key is the search's (ListSearch) or the list's own.
    return false;
}

bool fEnergy::tOutKeyPress(QKeyEvent* event)
{
    if (isEnter(event)) {
        cAdd_Click();
        lBases->setFocus();
        return true;
    }
    const int code = keyAscii(event);
    return code != 0 && !CheckNumKey(code, true);
}

void fEnergy::closeEvent(QCloseEvent* event)
{
    const Dialogs::Answer answer =
        Dialogs::message(u"Закрыть всю программу?"_s, Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    // The window closes whatever the answer; only Yes takes the program along.
    event->accept();
    if (m_ration)
        m_ration->close();
    emit unloaded();
    if (answer == Dialogs::Answer::Yes && m_closeProgramHandler)
        m_closeProgramHandler();
}

bool fEnergy::event(QEvent* event)
{
    // A label out of any layout asks its parent for a layout when its caption
    // changes; the search labels grow and shrink with the text typed.
    if (event->type() == QEvent::LayoutRequest) {
        lFindBB->adjustSize();
        lFindD->adjustSize();
    }
    const bool handled = QWidget::event(event);
    // A window manager adds its frame after the window is first laid out, and
    // the client size stays as it was, so no resize follows: lay out again
    // once the outer size the rules read is known.
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::WindowActivate:
        if (frameGeometry().size() != m_laidOutFor)
            applyLayout();
        break;
    default:
        break;
    }
    return handled;
}

void fEnergy::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void fEnergy::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        applyLayout();
}

// ---- Layout -----------------------------------------------------------------

void fEnergy::applyLayout()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    // The rules keep their own geometry in twips from one layout to the
    // next; only the labels, which size themselves to their caption at the
    // chosen font, are read back (the rules place their neighbours by them).
    using C = FitnessLayout::Control;
    const std::pair<C, const QLabel*> selfSizing[] = {
        {C::lKFA, lKFA}, {C::lVozr, lVozr}, {C::lOut, lOut}, {C::lFindBB, lFindBB}, {C::lFindD, lFindD}};
    for (const auto& [control, label] : selfSizing) {
        FitnessLayout::Geometry geometry = m_layout.geometry(control);
        geometry.width = Twips::fromPixels(label->width(), dpiX);
        geometry.height = Twips::fromPixels(label->height(), dpiY);
        m_layout.setGeometry(control, geometry);
    }
    // The widest caption cAdd can get, as its button would measure it.
    QStyleOptionButton widest;
    widest.initFrom(cAdd);
    widest.text = u"Добавить ("_s + QString::number(RationEntries::MaxEntries) + u')';
    const QSize text = cAdd->fontMetrics().size(Qt::TextShowMnemonic, widest.text);
    m_layout.setButtonColumnWidth(Twips::fromPixels(
        style()->sizeFromContents(QStyle::CT_PushButton, &widest, text, cAdd).width(), dpiX));
    const QRect outer = frameGeometry();
    m_laidOutFor = outer.size();
    m_layout.apply(Twips::fromPixels(outer.width(), dpiX), Twips::fromPixels(outer.height(), dpiY));
    placeControls();
}
