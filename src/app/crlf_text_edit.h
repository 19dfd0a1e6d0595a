#pragma once

#include <QPlainTextEdit>

namespace zelvo::app {

// A plain-text field whose text has CR LF line ends, and with a maximum length set no
// typing, pasting, dropping or input method can make it longer (a line end counts as two).
class CrLfTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CrLfTextEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // 0 means no limit. Counted in UTF-16 code units.
    void setMaxLength(int length);

private:
    void enforceMaxLength(int position, int added);

    int maxLength_ = 0;
    bool trimming_ = false;
};

}  // namespace zelvo::app
