#pragma once

#include <QString>
#include <QStringView>

namespace zelvo::text {

// Whether a terminal, an editor or a Unicode-aware tool would act on c rather than show it: C0
// and C1 controls, DEL, the line and paragraph separators and the marks that turn text around
// (bidi controls). Such characters could break a line in two, forge what follows or hide text.
bool isActingCharacter(char16_t c);

// The text with each acting character, and each surrogate without its partner, written as
// \uXXXX. With lineBreaks, a tab, a line break (CR LF, CR or LF) and a backslash are written as
// \t, \n and \\, so that the text stays on one line and reads back unambiguously; without, line
// feeds are kept as they are.
QString visibleText(QStringView text, bool lineBreaks = true);

}  // namespace zelvo::text
