#include "common/CutEntryTips.h"

#include <QEvent>
#include <QHelpEvent>
#include <QListWidget>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>

namespace CutEntryTips {

namespace {

class TipFilter final : public QObject
{
public:
    explicit TipFilter(QListWidget* list) : QObject(list), m_list(list) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip || watched != m_list->viewport())
            return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        const QListWidgetItem* item = m_list->itemAt(help->pos());
        const int row = item ? m_list->row(item) : -1;
        if (row >= 0 && isCut(m_list, row)) {
            // Plain text: an entry is server text and never markup.
            QToolTip::showText(help->globalPos(),
                               Qt::convertFromPlainText(item->text(), Qt::WhiteSpaceNoWrap),
                               m_list->viewport(), m_list->visualItemRect(item));
        } else {
            QToolTip::hideText();
        }
        return true;
    }

private:
    QListWidget* m_list;
};

} // namespace

void install(QListWidget* list)
{
    if (list)
        list->viewport()->installEventFilter(new TipFilter(list));
}

bool isCut(const QListWidget* list, int row)
{
    const QListWidgetItem* item = list->item(row);
    if (!item)
        return false;
    // The item view draws its text inside a focus-frame margin on each side.
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const int needed = list->fontMetrics().horizontalAdvance(item->text()) + 2 * margin;
    return list->visualItemRect(item).left() + needed > list->viewport()->width();
}

} // namespace CutEntryTips
