#pragma once

namespace zelvo::recipients {

// What a phone book file is, told by its content (see contact_book.h).
enum class BookFormat {
    Lines,  // one entry per line
    VCard,  // contacts as phones export them
    Csv,    // contacts as web address books and mail programs export them
};

}  // namespace zelvo::recipients
