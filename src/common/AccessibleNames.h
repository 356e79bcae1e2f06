#pragma once

class QWidget;

// What a screen reader says of each window's controls, and the tooltips that
// name their keys: one table per window, set by object name, so it holds
// whatever widget class shows a control.
namespace AccessibleNames {

// Sets the table of `window` (by its object name) on its controls, once they
// exist; a control the window lacks is passed over. Also for every window:
// Tab leaves its tables (the keyboard is never caught in their cells), its
// scroll bars are named by direction, and it reads as a window.
void describe(QWidget* window);

} // namespace AccessibleNames
