#include "recipients/entry_list.h"

#include <algorithm>

namespace zelvo::recipients {

EntryList EntryList::fromPieces(QString text, std::span<const Piece> pieces) {
    EntryList list;
    qsizetype characters = 0;
    qsizetype reached = 0;  // the end of the last piece that is not empty
    bool inOrder = true;
    for (const Piece& piece : pieces) {
        if (piece.size == 0) continue;
        inOrder = inOrder && piece.from >= reached;
        reached = piece.from + piece.size;
        characters += piece.size;
    }
    list.ends_.resize(qsizetype(pieces.size()));
    qsizetype* ends = list.ends_.data();
    if (!inOrder) {
        list.text_.reserve(characters);
        for (const Piece& piece : pieces) {
            if (piece.size > 0) list.text_ += QStringView(text).sliced(piece.from, piece.size);
            *ends++ = list.text_.size();
        }
        return list;
    }
    // Each piece starts at or after the place it moves to, so moving them in order overwrites
    // only what has been moved already.
    char16_t* data = reinterpret_cast<char16_t*>(text.data());
    qsizetype end = 0;
    for (const Piece& piece : pieces) {
        if (piece.size > 0) std::copy_n(data + piece.from, piece.size, data + end);
        end += piece.size;
        *ends++ = end;
    }
    text.truncate(end);
    text.squeeze();
    list.text_ = std::move(text);
    return list;
}

}  // namespace zelvo::recipients
