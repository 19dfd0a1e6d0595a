#include "app/window_font.h"

namespace zelvo::app {

QFont windowFont() {
    static const QString family = chineseFamilyFor(QStringLiteral("宋体"));
    return QFont(family, 9);
}

}  // namespace zelvo::app
