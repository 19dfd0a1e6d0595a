#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <span>

namespace zelvo::recipients {

// The number list's entries, in order, as one text and where each entry ends in it: a full list
// of 32,767 entries is two allocations rather than one per entry, and a copy shares both.
class EntryList {
public:
    // An entry given as a piece of a larger text; where an empty one starts does not matter.
    struct Piece {
        qsizetype from = 0;
        qsizetype size = 0;
    };

    // The entries that are the given pieces of text. When the pieces come in order and do not
    // overlap, as the lines of a file do, they are moved together inside the text's own buffer
    // instead of being copied out of it.
    static EntryList fromPieces(QString text, std::span<const Piece> pieces);

    qsizetype size() const { return ends_.size(); }
    bool isEmpty() const { return ends_.isEmpty(); }
    // The text of entry i; valid until the list changes.
    QStringView operator[](qsizetype i) const {
        const qsizetype begin = i == 0 ? 0 : ends_[i - 1];
        return QStringView(text_).sliced(begin, ends_[i] - begin);
    }
    void append(QStringView entry) {
        text_ += entry;
        ends_.append(text_.size());
    }

    friend bool operator==(const EntryList&, const EntryList&) = default;

private:
    QString text_;
    QList<qsizetype> ends_;
};

}  // namespace zelvo::recipients
