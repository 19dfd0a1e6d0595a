#pragma once

#include <QStringView>

namespace zelvo::recipients {

// A Chinese input method types this comma; a phone book line may be separated by it.
inline constexpr char16_t FullWidthComma = u'\uFF0C';

// Lines of text given in pieces, counted: those that hold a comma, ASCII or full-width.
struct LineCount {
    int withComma = 0;   // lines ended so far that hold a comma
    bool comma = false;  // the line that goes on into the next piece holds one
};

// Counts the lines that a piece ends. A line ends at a LF, a CR LF or a lone CR; a CR at the
// piece's end counts as a line end, and the caller skips the LF that may open the next piece.
// False when the piece holds a NUL character. Past the list's limit a phone book may have
// hundreds of megabytes left: sixteen characters are looked at together where the processor
// allows, which keeps counting well below the cost of decoding.
bool countCommaLines(QStringView piece, LineCount& count);

// The same, one character at a time: the phone-book fuzz target holds the two to the same
// counts.
bool countCommaLinesPlain(QStringView piece, LineCount& count);

}  // namespace zelvo::recipients
