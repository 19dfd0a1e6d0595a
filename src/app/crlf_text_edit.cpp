#include "app/crlf_text_edit.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace zelvo::app {

namespace {

constexpr QChar kParagraphSeparator(0x2029);

// Length of the document's text with CR LF line ends.
int textLength(const QTextDocument& document) {
    // characterCount() counts each block end once, plus one for the final block end.
    return document.characterCount() - 1 + (document.blockCount() - 1);
}

}  // namespace

CrLfTextEdit::CrLfTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { enforceMaxLength(position, added); });
}

QString CrLfTextEdit::text() const {
    return toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void CrLfTextEdit::setText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(plain);
}

void CrLfTextEdit::setMaxLength(int length) {
    maxLength_ = length;
}

void CrLfTextEdit::enforceMaxLength(int position, int added) {
    if (trimming_ || maxLength_ <= 0 || added <= 0) {
        return;
    }
    int excess = textLength(*document()) - maxLength_;
    if (excess <= 0) {
        return;
    }
    // The change can count the document's final block end, which holds no text.
    const int end = std::min(position + added, document()->characterCount() - 1);
    // Drop characters from the end of what was just inserted, never half a surrogate pair.
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    const QString inserted = cursor.selectedText();
    int keep = int(inserted.size());
    while (excess > 0 && keep > 0) {
        const QChar last = inserted.at(keep - 1);
        int units = 1;
        if (last.isLowSurrogate() && keep > 1 && inserted.at(keep - 2).isHighSurrogate()) {
            units = 2;
        }
        excess -= (last == kParagraphSeparator) ? 2 : units;
        keep -= units;
    }
    trimming_ = true;
    QTextCursor trim(document());
    trim.setPosition(position + keep);
    trim.setPosition(end, QTextCursor::KeepAnchor);
    trim.removeSelectedText();
    trimming_ = false;
}

}  // namespace zelvo::app
