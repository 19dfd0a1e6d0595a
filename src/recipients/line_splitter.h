#pragma once

#include <QStringView>
#include <optional>

namespace zelvo::recipients {

// Text given in pieces of any size, cut into lines: a LF, a CR LF or a lone CR ends one, also
// when the CR ends one piece and the LF opens the next. Every reader of phone books and contact
// files takes its lines from here.
class LineSplitter {
public:
    enum class Next { Go, Stop };

    // Hands the piece's stretches of lines to onPart(stretch, ends) in order: `ends` when the
    // line ends with the stretch; the last stretch of a piece may go on in the next piece. When
    // onPart says Stop, returns what follows the end of that line in the piece.
    template <typename OnPart>
    std::optional<QStringView> split(QStringView piece, OnPart&& onPart) {
        piece = continued(piece);
        const char16_t* data = piece.utf16();
        const qsizetype size = piece.size();
        qsizetype start = 0;
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t c = data[i];
            if (c > u'\r' || (c != u'\r' && c != u'\n')) continue;
            const QStringView line = piece.sliced(start, i - start);
            if (c == u'\r' && i + 1 == size) {
                afterCr_ = true;
            } else if (c == u'\r' && data[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
            if (onPart(line, true) == Next::Stop) return piece.sliced(start);
        }
        if (start < size) onPart(piece.sliced(start), false);
        return std::nullopt;
    }

    // For text that another reader took whole: whether it ended with a CR, whose LF may open the
    // next piece.
    void passed(QStringView text) {
        if (!text.isEmpty()) afterCr_ = text.back() == u'\r';
    }

    // The piece without the LF that completes a CR at the end of the text before it.
    QStringView continued(QStringView piece) {
        const bool skip = afterCr_ && piece.startsWith(u'\n');
        if (!piece.isEmpty()) afterCr_ = false;
        return skip ? piece.sliced(1) : piece;
    }

private:
    bool afterCr_ = false;
};

}  // namespace zelvo::recipients
