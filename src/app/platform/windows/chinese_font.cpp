// Windows links the fonts of other scripts to its own families, 宋体 included.
#include "app/platform/platform.h"

namespace zelvo::app::platform {

QString chineseFamilyFor(const QString& family) {
    return family;
}

}  // namespace zelvo::app::platform
