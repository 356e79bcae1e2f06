#include "common/DesignedControls.h"

namespace DesignedControls {

void place(QWidget& window, const Twips::Table& table)
{
    const double dpiX = window.logicalDpiX();
    const double dpiY = window.logicalDpiY();
    for (const Twips::Placement& placement : table) {
        auto* control = window.findChild<QWidget*>(placement.name, Qt::FindDirectChildrenOnly);
        Q_ASSERT(control);
        if (control)
            control->setGeometry(Twips::toPixels(placement.twips, dpiX, dpiY));
    }
}

} // namespace DesignedControls
