#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

// A broken property is a finding just like a crash: say which one and abort, so that libFuzzer
// keeps the input as a crash artifact.
#define FUZZ_CHECK(condition)                                                               \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, \
                         #condition);                                                       \
            std::abort();                                                                   \
        }                                                                                   \
    } while (0)

namespace zelvo::fuzz {

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Text of up to maxBytes input bytes: UTF-8 most of the time, otherwise raw UTF-16 code units,
// which also gives lone surrogates and NULs that no decoder would produce.
inline QString consumeText(FuzzedDataProvider& in, size_t maxBytes) {
    const bool raw = in.ConsumeIntegralInRange<int>(0, 3) == 0;
    const std::string bytes = in.ConsumeRandomLengthString(maxBytes);
    if (!raw) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString(reinterpret_cast<const QChar*>(bytes.data()),
                   static_cast<qsizetype>(bytes.size() / 2));
}

// What survives a trip through an encoding: an unpaired surrogate is no character and comes
// back as the encoder's replacement (U+FFFD from GB18030, "?" from Qt's UTF-8).
inline QString withoutLoneSurrogates(const QString& text,
                                     QChar replacement = QChar::ReplacementCharacter) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text[i];
            out += text[++i];
        } else {
            out += text[i].isSurrogate() ? replacement : text[i];
        }
    }
    return out;
}

}  // namespace zelvo::fuzz
