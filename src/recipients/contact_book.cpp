#include "recipients/contact_book.h"

#include "recipients/csv_reader.h"
#include "recipients/vcard_reader.h"

namespace zelvo::recipients {

BookFormat bookFormatOf(QStringView firstLine) {
    const QStringView line = firstLine.trimmed();
    if (line.startsWith(u"BEGIN:VCARD", Qt::CaseInsensitive)) return BookFormat::VCard;
    if (line.contains(u',') && csvColumnsOf(csvFields(line)).usable()) return BookFormat::Csv;
    return BookFormat::Lines;
}

ContactBook::ContactBook(BookFormat format, bool fieldBytes) {
    if (format == BookFormat::VCard) {
        reader_ = std::make_unique<VCardReader>(fieldBytes);
    } else {
        reader_ = std::make_unique<CsvReader>(fieldBytes);
    }
}

bool ContactBook::add(QStringView text) {
    if (text.contains(QChar(0))) return false;
    qsizetype start = afterCr_ && text.startsWith(u'\n') ? 1 : 0;
    afterCr_ = false;
    const auto keep = [this](QStringView part) {
        line_ += part.first(std::min(part.size(), MaxContactLineLength - line_.size()));
    };
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') continue;
        keep(text.sliced(start, i - start));
        reader_->addLine(line_);
        line_.clear();
        if (text[i] == u'\r' && i + 1 == text.size()) {
            afterCr_ = true;
        } else if (text[i] == u'\r' && text[i + 1] == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    keep(text.sliced(start));
    return true;
}

void ContactBook::finish() {
    if (!line_.isEmpty()) reader_->addLine(line_);
    reader_->finish();
}

}  // namespace zelvo::recipients
