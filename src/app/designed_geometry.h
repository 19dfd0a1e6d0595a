#pragma once

#include <QSize>

class QTabWidget;
class QWidget;

namespace zelvo::app {

// The window's client area as designed, in device-independent pixels; the menu bar comes on
// top of it.
QSize designedClientSize();

// Gives every control of window that the design names its designed place and size. The
// controls on the tab widget's pages were designed relative to the tab widget's own top-left
// corner, tab row included: alignPagesWithTabRow then moves them once the pages are laid out.
void placeAsDesigned(QWidget& window);
void alignPagesWithTabRow(const QTabWidget& tabs);

}  // namespace zelvo::app
