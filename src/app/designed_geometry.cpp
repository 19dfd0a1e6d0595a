#include "app/designed_geometry.h"

#include <QTabWidget>
#include <QtMath>

namespace zelvo::app {

namespace {

// Places and sizes in twips, 1440 per inch and 15 per device-independent pixel, each relative to
// the control the named one sits on.
struct DesignedRect {
    const char* name;
    int left, top, width, height;
};

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 6495, kClientHeight = 7200;

// clang-format off
constexpr DesignedRect kDesign[] = {
    {"tabs", 0, 0, 6500, 7200},
    // 关于程序
    {"pictureLabel", 2040, 1200, 2445, 1740},
    {"feedbackLink", 2160, 3360, 2055, 255},
    {"infoFrame", 120, 4560, 6135, 2535},
    {"designLabel", 240, 360, 5775, 255},
    {"titleLabel", 240, 720, 5775, 255},
    {"versionLabel", 240, 1080, 5775, 255},
    {"functionLabel", 240, 1440, 5775, 255},
    {"mailLabel", 240, 1800, 5775, 255},
    {"homepageLabel", 240, 2160, 5775, 255},
    // 程序界面
    {"sendingFrame", 120, 480, 6255, 6615},
    {"accountLabel", 240, 360, 5895, 255},
    {"accountEdit", 240, 720, 1935, 270},
    {"registrationLink", 2520, 720, 3135, 255},
    {"passwordLabel", 240, 1200, 1215, 255},
    {"passwordEdit", 240, 1560, 1935, 270},
    {"recipientsLabel", 240, 2040, 5775, 255},
    {"recipientsEdit", 360, 2400, 5535, 735},
    {"numberListLabel", 240, 3240, 2895, 255},
    {"messageLabel", 3240, 3240, 735, 255},
    {"charactersLeftLabel", 3975, 3240, 2040, 255},
    {"numberList", 240, 3600, 2775, 1740},
    {"messageEdit", 3240, 3600, 2775, 1815},
    {"sendButton", 240, 5640, 1200, 615},
    {"importButton", 1800, 5640, 1200, 615},
    {"saveButton", 3240, 5640, 1200, 615},
    {"exitButton", 4800, 5640, 1200, 615},
    {"splitCheckBox", 240, 6300, 2775, 255},
    {"partsLabel", 3240, 6300, 2775, 255},
    // 信息公告
    {"noticesView", 120, 480, 6255, 6615},
};
// clang-format on

int pixels(int twips) {
    return qRound(double(twips) / kTwipsPerPixel);
}

}  // namespace

QSize designedClientSize() {
    return {pixels(kClientWidth), pixels(kClientHeight)};
}

void placeAsDesigned(QWidget& window) {
    for (const DesignedRect& designed : kDesign) {
        auto* widget = window.findChild<QWidget*>(QString::fromLatin1(designed.name));
        Q_ASSERT_X(widget, "placeAsDesigned", designed.name);
        if (!widget) continue;
        widget->setGeometry(pixels(designed.left), pixels(designed.top), pixels(designed.width),
                            pixels(designed.height));
    }
}

void alignPagesWithTabRow(const QTabWidget& tabs) {
    for (int i = 0; i < tabs.count(); ++i) {
        QWidget* page = tabs.widget(i);
        const QPoint offset = page->mapTo(&tabs, QPoint(0, 0));
        for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            control->move(control->pos() - offset);
        }
    }
}

}  // namespace zelvo::app
