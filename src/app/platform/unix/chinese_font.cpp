// fontconfig picks the stand-in for a missing family by the language it is asked for, which is
// the locale's unless the pattern names one.
#include <fontconfig/fontconfig.h>

#include "app/platform/platform.h"

namespace zelvo::app::platform {

QString chineseFamilyFor(const QString& family) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    QString found = family;
    FcChar8* name = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
        found = QString::fromUtf8(reinterpret_cast<const char*>(name));
    }
    if (match) {
        FcPatternDestroy(match);
    }
    return found;
}

}  // namespace zelvo::app::platform
