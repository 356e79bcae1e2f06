#pragma once

// Selects the whole text of the focused text box of the active window; any
// other kind of control is left alone.
void SelectText();
