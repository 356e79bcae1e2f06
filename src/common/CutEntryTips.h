#pragma once

class QListWidget;

// Entries of a list box cut off at its right edge (long dish names, large
// fonts) show their whole text as a tooltip; entries that fit show none.
namespace CutEntryTips {

void install(QListWidget* list);

// True when `row` of `list` does not fit between its left edge and the right
// edge of the list's visible area.
bool isCut(const QListWidget* list, int row);

} // namespace CutEntryTips
