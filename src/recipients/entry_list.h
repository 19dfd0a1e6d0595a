#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace zelvo::recipients {

// The number list's entries, in order, as one text and where each entry ends in it: a full list
// of 32,767 entries is two allocations rather than one per entry, and a copy shares both.
class EntryList {
public:
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
    void reserve(qsizetype entries, qsizetype characters) {
        ends_.reserve(entries);
        text_.reserve(characters);
    }

    friend bool operator==(const EntryList&, const EntryList&) = default;

private:
    QString text_;
    QList<qsizetype> ends_;
};

}  // namespace zelvo::recipients
