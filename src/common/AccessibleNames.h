#pragma once

class QWidget;

// What a screen reader says of each window's controls, and the tooltips that
// name their keys: one table per window, set by object name, so it holds
// whatever widget class shows a control.
namespace AccessibleNames {

// Sets the table of `window` (by its object name) on its controls, once they
// exist; a control the window lacks is passed over. Tab then leaves every
// table of the window, so the keyboard is never caught in its cells.
void describe(QWidget* window);

} // namespace AccessibleNames
