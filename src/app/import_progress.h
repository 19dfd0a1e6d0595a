#pragma once

#include <QElapsedTimer>
#include <QString>
#include <chrono>
#include <memory>

class QProgressDialog;
class QWidget;

namespace zelvo::app {

// The progress of a phone book import. Once the import has run longer than `delay`, a modal
// dialog shows the file's name, how far the import has come and a 取消 button; the window
// behind it keeps painting. The dialog closes with this object.
class ImportProgress {
public:
    ImportProgress(QWidget* window, QString fileName, std::chrono::milliseconds delay);
    ~ImportProgress();
    ImportProgress(const ImportProgress&) = delete;
    ImportProgress& operator=(const ImportProgress&) = delete;

    // Called after each piece of the file: handles the events that waited meanwhile and shows
    // or moves on the dialog. False once the user has cancelled.
    bool advance(qint64 done, qint64 total);

private:
    QWidget* window_;
    QString fileName_;
    std::chrono::milliseconds delay_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace zelvo::app
