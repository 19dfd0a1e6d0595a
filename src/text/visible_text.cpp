#include "text/visible_text.h"

namespace zelvo::text {

bool isActingCharacter(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x061C ||
           c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

QString visibleText(QStringView text, bool lineBreaks) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool paired =
            (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ||
            (QChar::isLowSurrogate(c) && i > 0 && text[i - 1].isHighSurrogate());
        if (lineBreaks && c == u'\\') {
            shown += QLatin1String("\\\\");
        } else if (lineBreaks && (c == u'\r' || c == u'\n')) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            shown += QLatin1String("\\n");
        } else if (lineBreaks && c == u'\t') {
            shown += QLatin1String("\\t");
        } else if (!lineBreaks && c == u'\n') {
            shown += QChar(c);
        } else if (isActingCharacter(c) || (QChar::isSurrogate(c) && !paired)) {
            shown += QLatin1String("\\u") +
                     QString::number(unsigned(c), 16).toUpper().rightJustified(4, u'0');
        } else {
            shown += QChar(c);
        }
    }
    return shown;
}

}  // namespace zelvo::text
