#pragma once

#include <QByteArray>
#include <QString>

namespace zelvo::cli {

// The code page of standard input's text when it is not UTF-8. On Windows a console gives its
// input code page (936 on a Chinese Windows, where cmd.exe pipes text in it too) and a pipe or a
// file the ANSI code page; 0 elsewhere, where text is UTF-8 alone.
unsigned standardInputCodePage();

// Standard input's bytes as text, or why they are none.
struct StandardInputText {
    QString text;
    QString refusal;
};

// UTF-8 when the bytes are valid UTF-8, a byte-order mark skipped; otherwise text in codePage
// (Windows only, 0 for none) when every byte is a character there.
StandardInputText decodeStandardInput(const QByteArray& bytes, unsigned codePage);

}  // namespace zelvo::cli
