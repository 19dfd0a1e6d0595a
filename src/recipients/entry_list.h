#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace zelvo::recipients {

// The number list's entries, in order, as pieces of one text: a full list of 32,767 entries is
// two allocations rather than one per entry, a copy shares both, and a list read from a file
// can keep the file's text instead of copying each entry out of it.
class EntryList {
public:
    // Where an entry is in the text; where an empty one starts does not matter.
    struct Piece {
        qsizetype from;
        qsizetype size;
    };

    EntryList() = default;
    // The entries that are the given pieces of text. The text is kept, shared, when the entries
    // make up most of it; otherwise they are copied out of it, so that a list of a few entries
    // does not hold on to a large text.
    EntryList(QString text, QList<Piece> pieces);

    qsizetype size() const { return pieces_.size(); }
    // The text of entry i; valid until the list changes.
    QStringView operator[](qsizetype i) const {
        return QStringView(text_).sliced(pieces_[i].from, pieces_[i].size);
    }
    // In list order, for range-for.
    class Iterator {
    public:
        Iterator(const EntryList* list, qsizetype at) : list_(list), at_(at) {}
        QStringView operator*() const { return (*list_)[at_]; }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator==(const Iterator&) const = default;

    private:
        const EntryList* list_;
        qsizetype at_;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

    void append(QStringView entry) {
        pieces_.append({text_.size(), entry.size()});
        text_ += entry;
    }

    // Entry by entry.
    friend bool operator==(const EntryList& a, const EntryList& b);

private:
    QString text_;
    QList<Piece> pieces_;
};

}  // namespace zelvo::recipients
