#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace zelvo::settings {

// set.ini is kept in the ANSI code page of a Chinese Windows (GBK). We write GB18030, its
// superset, so that every character the user can type (emoji, rare CJK) survives a save.

// False when this Qt has no GB18030 codec (built without ICU); nothing can be written then.
bool gb18030Available();

// The GB18030 bytes of text. An unpaired surrogate, which is no character at all, becomes
// U+FFFD. Empty when the codec is missing.
QByteArray encodeGb18030(QStringView text);

// The text of a file that is GB18030 (and so GBK, including Windows' single-byte euro sign
// 0x80) unless it starts with a byte order mark: editors add one when they save as UTF-8 or
// UTF-16, and then that encoding is used. Undecodable bytes become U+FFFD.
QString decodeFileText(QByteArrayView bytes);

}  // namespace zelvo::settings
