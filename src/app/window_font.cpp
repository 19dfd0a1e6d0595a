#include "app/window_font.h"

#include <QWidget>

#include "app/platform/platform.h"

namespace zelvo::app {

QFont windowFont() {
    static const QString family = platform::chineseFamilyFor(QStringLiteral("宋体"));
    return QFont(family, 9);
}

QFont linkFont() {
    QFont font = windowFont();
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    return font;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

}  // namespace zelvo::app
