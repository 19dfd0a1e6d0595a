#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace zelvo::app {

// The window's text font. The layout was drawn for the Chinese desktop's default font, 宋体 at
// 9 points; where 宋体 itself is missing, the font a Chinese desktop shows for it stands in,
// whatever the locale the program runs in, since the wider Latin letters of a Western
// desktop's font would cut off the ends of the labels.
QFont windowFont();

// The font of the text links: the window's font, not bold, underlined.
QFont linkFont();

// The designed colours of the red labels and the green link.
inline const QColor kLabelRed(255, 0, 0);
inline const QColor kLinkGreen(0, 128, 0);
void setTextColour(QWidget* widget, const QColor& colour);

}  // namespace zelvo::app
