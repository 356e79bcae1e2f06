#pragma once

#include <QString>

class QKeyEvent;
class QListWidget;

// Type-to-search in a list box. While a list has the focus, typed characters
// build a search text; the first entry containing it (case ignored, Cyrillic
// included) is selected at once, and Up / Down jump to the previous / next
// entry containing it. The search text lives in the dynamic property "Tag" of
// a companion label, whose caption shows it; the list names that label in its
// own "Tag" property (lBases -> "lFindBB", lDishes -> "lFindD").
//
// The three operations act on QApplication::focusWidget() (the list, during its
// own key and focus events) and look the label up by object name inside that
// widget's window. An empty label name means: take it from the list's Tag.
// Selecting an entry goes through setCurrentRow(), so the window's selection
// handling runs just as for a click. Nothing is ever reported to the user.

// The list got the focus: forget its search text.
void FindReset(const QString& labelName = {});

// A character key was pressed in the list (Enter excepted). keyAscii is the
// character's Unicode code point, or 27 Escape, 8 Backspace, 127
// Ctrl+Backspace; it is set to 0 when the search has used the key, so the list
// must not handle it. A keyAscii of 0 is a key already taken: nothing happens.
void FindKeyPress(int& keyAscii, const QString& labelName = {});

// A key was released in the list. keyCode is a Windows virtual-key code (38 Up,
// 40 Down, see ListSearch::virtualKeyCode); it is set to 0 when the search
// moved the selection to a matching entry.
void FindKeyUp(int& keyCode, const QString& labelName = {});

namespace ListSearch {

inline constexpr int KeyBackspace = 8;
inline constexpr int KeyEscape = 27;
inline constexpr int KeyCtrlBackspace = 127;
inline constexpr int KeyUp = 38;
inline constexpr int KeyDown = 40;

// The longest search text kept; characters typed beyond it are dropped (no
// entry of a server list is that long).
inline constexpr int MaxSearchLength = 255;

// Wires a list to the search: its key presses (Enter excepted, which the window
// handles itself) go to FindKeyPress, its key releases to FindKeyUp, and its
// focus to FindReset; a key the search used does not reach the list. Also
// keeps a lower-cased copy of the entries in step with the list, so a key
// press on a long list only compares. Installing twice changes nothing.
void install(QListWidget* list);

// The Windows virtual-key code of a Qt::Key (Up 38, Down 40, A..Z 65..90,
// ...), or 0 for a key without one.
int virtualKeyCode(int qtKey);

// The character code a key press types, as FindKeyPress takes it: 27 Escape,
// 8 Backspace, 127 Ctrl+Backspace, 13 Enter, otherwise the code point of the
// printable character typed; 0 for a key that types nothing (arrows,
// modifiers, Tab, Ctrl or Alt shortcuts).
int characterCode(const QKeyEvent& event);

} // namespace ListSearch
