#pragma once

#include <QWidget>

#include "app/link_label.h"
#include "info/info_texts.h"

class QLabel;

namespace zelvo::app {

// The 关于程序 page: the picture, the feedback link and the software information frame.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent = nullptr);

    // Fills the information frame. A line without an address is left out, and the homepage
    // line then moves up into the mail line's place.
    void showInfo(const info::InfoTexts& texts);

signals:
    void feedbackRequested();

private:
    LinkLabel* feedbackLink_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* functionLabel_ = nullptr;
    QLabel* designLabel_ = nullptr;
    QLabel* homepageLabel_ = nullptr;
    QLabel* mailLabel_ = nullptr;
};

}  // namespace zelvo::app
