#pragma once

#include "common/Twips.h"

#include <QString>
#include <QWidget>

// The controls a window was designed with: made under their design names
// (which tests and accessibility find them by) and placed from the window's
// table of twips rectangles.
namespace DesignedControls {

// A new control of type T in `parent`, its object name `name`; with a
// caption when one is given. Labels show their caption as plain text, so an
// "&" stays a mnemonic and server or user text is never read as markup.
template <typename T> T* make(QWidget* parent, const QString& name, const QString& caption = QString())
{
    auto* control = new T(parent);
    control->setObjectName(name);
    if constexpr (requires { control->setTextFormat(Qt::PlainText); })
        control->setTextFormat(Qt::PlainText);
    if constexpr (requires { control->setText(caption); }) {
        if (!caption.isNull())
            control->setText(caption);
    }
    return control;
}

// Puts every control of `table` (a direct child of `window` by that object
// name) at its rectangle, in pixels at the window's dots per inch.
void place(QWidget& window, const Twips::Table& table);

} // namespace DesignedControls
