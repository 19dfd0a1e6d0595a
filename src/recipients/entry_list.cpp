#include "recipients/entry_list.h"

namespace zelvo::recipients {

EntryList::EntryList(QString text, QList<Piece> pieces) {
    qsizetype characters = 0;
    for (Piece& piece : pieces) {
        if (piece.size == 0) piece.from = 0;
        characters += piece.size;
    }
    if (characters >= text.size() / 2) {
        text_ = std::move(text);
        pieces_ = std::move(pieces);
        pieces_.squeeze();
        return;
    }
    text_.reserve(characters);
    pieces_.reserve(pieces.size());
    for (const Piece& piece : std::as_const(pieces))
        append(QStringView(text).sliced(piece.from, piece.size));
}

bool operator==(const EntryList& a, const EntryList& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace zelvo::recipients
