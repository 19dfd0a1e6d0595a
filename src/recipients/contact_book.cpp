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
    splitter_.split(text, [this](QStringView part, bool ends) {
        line_ += part.first(std::min(part.size(), MaxContactLineLength - line_.size()));
        if (ends) {
            reader_->addLine(line_);
            line_.clear();
        }
        return LineSplitter::Next::Go;
    });
    return true;
}

void ContactBook::finish() {
    if (!line_.isEmpty()) reader_->addLine(line_);
    reader_->finish();
}

}  // namespace zelvo::recipients
