#include "common/ListSearch.h"

#include "common/RussianFormat.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>

namespace {

const char* const TagProperty = "Tag";

// Lower-cased copies of a list's entries, kept in step with the list's model
// as entries come and go: lower-casing every entry on every key press costs
// tens of milliseconds on a list of a hundred thousand.
class LoweredEntries final : public QObject
{
    Q_OBJECT

public:
    explicit LoweredEntries(QListWidget* list) : QObject(list), m_list(list)
    {
        QAbstractItemModel* model = list->model();
        connect(model, &QAbstractItemModel::rowsInserted, this, &LoweredEntries::inserted);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &LoweredEntries::removed);
        connect(model, &QAbstractItemModel::dataChanged, this, &LoweredEntries::changed);
        connect(model, &QAbstractItemModel::modelReset, this, &LoweredEntries::markStale);
        connect(model, &QAbstractItemModel::layoutChanged, this, &LoweredEntries::markStale);
        connect(model, &QAbstractItemModel::rowsMoved, this, &LoweredEntries::markStale);
        rebuild();
    }

    static LoweredEntries* of(QListWidget* list)
    {
        auto* entries = list->findChild<LoweredEntries*>(QString(), Qt::FindDirectChildrenOnly);
        return entries ? entries : new LoweredEntries(list);
    }

    // The first entry from row `from` on, stepping by `step` (+1 or -1), whose
    // text contains the lower-cased needle; -1 when none does.
    int find(const QString& loweredNeedle, int from, int step)
    {
        if (m_stale || m_lowered.size() != m_list->count())
            rebuild();
        const int count = int(m_lowered.size());
        for (int row = from; row >= 0 && row < count; row += step) {
            if (m_lowered[row].contains(loweredNeedle))
                return row;
        }
        return -1;
    }

private:
    QString loweredText(int row) const
    {
        const QListWidgetItem* item = m_list->item(row);
        return item ? RussianFormat::lower(item->text()) : QString();
    }

    void rebuild()
    {
        const int count = m_list->count();
        m_lowered.clear();
        m_lowered.reserve(count);
        for (int row = 0; row < count; ++row)
            m_lowered.append(loweredText(row));
        m_stale = false;
    }

    void markStale() { m_stale = true; }

    void inserted(const QModelIndex& parent, int first, int last)
    {
        if (m_stale || parent.isValid())
            return;
        if (first < 0 || first > m_lowered.size() || last < first) {
            m_stale = true;
            return;
        }
        QStringList added;
        added.reserve(last - first + 1);
        for (int row = first; row <= last; ++row)
            added.append(loweredText(row));
        if (first == m_lowered.size())
            m_lowered.append(added);
        else
            m_lowered = m_lowered.mid(0, first) + added + m_lowered.mid(first);
    }

    void removed(const QModelIndex& parent, int first, int last)
    {
        if (m_stale || parent.isValid())
            return;
        if (first < 0 || last >= m_lowered.size() || last < first) {
            m_stale = true;
            return;
        }
        m_lowered.remove(first, last - first + 1);
    }

    void changed(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
    {
        if (m_stale || (!roles.isEmpty() && !roles.contains(Qt::DisplayRole)))
            return;
        const int first = topLeft.row();
        const int last = bottomRight.row();
        if (first < 0 || last >= m_lowered.size() || last < first) {
            m_stale = true;
            return;
        }
        for (int row = first; row <= last; ++row)
            m_lowered[row] = loweredText(row);
    }

    QListWidget* m_list;
    QStringList m_lowered;
    bool m_stale = false;
};

// Routes a list's keys and focus to the search.
class ListSearchFilter final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Enter belongs to the window: it moves on to the next control.
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                return false;
            int code = ListSearch::characterCode(*key);
            if (code == 0)
                return false;
            FindKeyPress(code);
            return code == 0;
        }
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            // A held key repeats its press but is released once, as far as
            // the search is concerned: jump to a match when the user lets go.
            if (key->isAutoRepeat())
                return false;
            int code = ListSearch::virtualKeyCode(key->key());
            if (code == 0)
                return false;
            FindKeyUp(code);
            return code == 0;
        }
        case QEvent::FocusIn: {
            // Coming back from another window, or from a menu or a message
            // box, is not the user entering the list anew: the search stays.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                FindReset();
            return false;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

QLabel* companionLabel(QWidget* focused, const QString& name)
{
    if (!focused || name.isEmpty())
        return nullptr;
    return focused->window()->findChild<QLabel*>(name);
}

QString searchTextOf(const QLabel* label)
{
    return label ? label->property(TagProperty).toString() : QString();
}

void showSearchText(QLabel* label, const QString& text)
{
    // What the user typed is text, never markup ("<b>" stays "<b>").
    if (label->textFormat() != Qt::PlainText)
        label->setTextFormat(Qt::PlainText);
    label->setProperty(TagProperty, text);
    label->setText(text);
}

// The text of a code point, or nothing for a code that is not a character.
QString characterOf(int code)
{
    if (code <= 0 || code > 0x10FFFF || QChar::isSurrogate(char32_t(code)))
        return {};
    const char32_t c = char32_t(code);
    return QString::fromUcs4(&c, 1);
}

// Drops the last character, both halves of it if it lies outside the BMP.
void dropLastCharacter(QString& text)
{
    qsizetype cut = 1;
    if (text.size() >= 2 && text.back().isLowSurrogate() && text[text.size() - 2].isHighSurrogate())
        cut = 2;
    text.chop(cut);
}

void select(QListWidget* list, int row)
{
    if (row >= 0)
        list->setCurrentRow(row);
}

} // namespace

void FindReset(const QString& labelName)
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused)
        return;
    const QString name = labelName.isEmpty() ? focused->property(TagProperty).toString() : labelName;
    if (!qobject_cast<QListWidget*>(focused))
        return;
    QLabel* label = companionLabel(focused, name);
    if (!label)
        return;
    showSearchText(label, QString());
}

void FindKeyPress(int& keyAscii, const QString& labelName)
{
    if (keyAscii == 0)
        return;
    auto* list = qobject_cast<QListWidget*>(QApplication::focusWidget());
    if (!list)
        return;
    QString name = labelName;
    if (name.isEmpty()) {
        name = list->property(TagProperty).toString();
        if (name.isEmpty())
            return;
    }
    // A missing label only means the search text cannot be kept or shown.
    QLabel* label = companionLabel(list, name);
    QString search = searchTextOf(label);

    switch (keyAscii) {
    case ListSearch::KeyEscape:
        search.clear();
        break;
    case ListSearch::KeyBackspace:
        if (search.isEmpty())
            return;
        dropLastCharacter(search);
        break;
    case ListSearch::KeyCtrlBackspace:
        if (search.isEmpty())
            return;
        search.clear();
        break;
    default: {
        QString typed = characterOf(keyAscii);
        // The label shows the search with a capital first letter; matching
        // ignores case anyway.
        if (search.isEmpty())
            typed = RussianFormat::upper(typed);
        if (search.size() + typed.size() <= ListSearch::MaxSearchLength)
            search += typed;
        break;
    }
    }

    select(list, LoweredEntries::of(list)->find(RussianFormat::lower(search), 0, +1));
    // Taken: the list's own jump to an entry by its first letter never happens.
    keyAscii = 0;
    if (label)
        showSearchText(label, search);
}

void FindKeyUp(int& keyCode, const QString& labelName)
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused)
        return;
    const QString name = labelName.isEmpty() ? focused->property(TagProperty).toString() : labelName;
    const QString search = searchTextOf(companionLabel(focused, name));
    if (search.isEmpty())
        return;
    auto* list = qobject_cast<QListWidget*>(focused);
    if (!list)
        return;

    // By the time the key is released the list has already stepped one entry,
    // so the search starts at the entry it stepped to.
    const int current = list->currentRow();
    int row = -1;
    if (keyCode == ListSearch::KeyDown)
        row = LoweredEntries::of(list)->find(RussianFormat::lower(search), qMax(current, 0), +1);
    else if (keyCode == ListSearch::KeyUp)
        row = LoweredEntries::of(list)->find(RussianFormat::lower(search), current, -1);
    else
        return;
    if (row < 0)
        return;
    select(list, row);
    keyCode = 0;
}

namespace ListSearch {

void install(QListWidget* list)
{
    if (!list || list->findChild<ListSearchFilter*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    LoweredEntries::of(list);
    list->installEventFilter(new ListSearchFilter(list));
}

int virtualKeyCode(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey; // '0'..'9' are 48..57 in both
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // 'A'..'Z' are 65..90 in both
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return KeyUp;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return KeyDown;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

int characterCode(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    switch (event.key()) {
    case Qt::Key_Escape:
        return KeyEscape;
    case Qt::Key_Backspace:
        return (modifiers & Qt::ControlModifier) ? KeyCtrlBackspace : KeyBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    default:
        break;
    }
    // Ctrl or Alt alone make a shortcut; both together are AltGr on Windows.
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    if (ctrl != alt || (modifiers & Qt::MetaModifier))
        return 0;
    const QString text = event.text();
    if (text.isEmpty())
        return 0;
    const char32_t code = text.toUcs4().value(0);
    if (!QChar::isPrint(code))
        return 0;
    return int(code);
}

} // namespace ListSearch

#include "ListSearch.moc"
