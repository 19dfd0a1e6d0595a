// Windows links the fonts of other scripts to its own families, 宋体 included.
#include "app/window_font.h"

namespace zelvo::app {

QString chineseFamilyFor(const QString& family) {
    return family;
}

}  // namespace zelvo::app
