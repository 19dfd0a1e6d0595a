#include "recipients/line_count.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace zelvo::recipients {
namespace {

bool countFrom(const char16_t* data, qsizetype i, qsizetype size, LineCount& count) {
    bool comma = count.comma;
    for (; i < size; ++i) {
        const char16_t c = data[i];
        if (c == u',' || c == FullWidthComma) {
            comma = true;
            continue;
        }
        if (c > u'\r') continue;
        if (c == 0) return false;
        if (c != u'\r' && c != u'\n') continue;
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n') continue;
        count.withComma += comma ? 1 : 0;
        comma = false;
    }
    count.comma = comma;
    return true;
}

}  // namespace

bool countCommaLinesPlain(QStringView piece, LineCount& count) {
    return countFrom(piece.utf16(), 0, piece.size(), count);
}

bool countCommaLines(QStringView piece, LineCount& count) {
    const char16_t* data = piece.utf16();
    const qsizetype size = piece.size();
    qsizetype i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    // One bit for each of the sixteen characters that is c.
    const auto bits = [](__m128i low, __m128i high, char16_t c) {
        const __m128i wanted = _mm_set1_epi16(short(c));
        return unsigned(_mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpeq_epi16(low, wanted), _mm_cmpeq_epi16(high, wanted))));
    };
    // One character more must be there: it tells whether a CR at the end has a LF after it.
    for (; i + 16 < size; i += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 8));
        if (bits(low, high, 0) != 0) return false;
        const unsigned commas = bits(low, high, u',') | bits(low, high, FullWidthComma);
        const unsigned lineFeeds = bits(low, high, u'\n');
        const unsigned lineFeedNext = (lineFeeds >> 1) | (data[i + 16] == u'\n' ? 0x8000u : 0u);
        unsigned ends = lineFeeds | (bits(low, high, u'\r') & ~lineFeedNext);
        unsigned counted = 0;  // the characters up to the last line end
        for (; ends != 0; ends &= ends - 1) {
            const unsigned line = ((ends & (0u - ends)) - 1) & ~counted;
            count.withComma += (count.comma || (commas & line) != 0) ? 1 : 0;
            count.comma = false;
            counted |= line | (ends & (0u - ends));
        }
        count.comma = count.comma || (commas & ~counted) != 0;
    }
#endif
    return countFrom(data, i, size, count);
}

}  // namespace zelvo::recipients
