#include "app/tab_control.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace zelvo::app {

TabControl::TabControl(QWidget* parent) : QWidget(parent), tabBar_(new QTabBar(this)) {
    tabBar_->setObjectName(QStringLiteral("tabBar"));
    tabBar_->setDrawBase(false);
    tabBar_->setExpanding(false);
    connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) {
        showPage(index);
        emit currentChanged(index);
    });
}

QWidget* TabControl::addPage(const QString& caption, const QString& objectName) {
    auto* page = new QWidget(this);
    page->setObjectName(objectName);
    page->setGeometry(rect());
    pages_.append(page);
    const QSignalBlocker blocker(tabBar_);
    tabBar_->addTab(caption);
    showPage(tabBar_->currentIndex());
    return page;
}

int TabControl::count() const {
    return int(pages_.size());
}

int TabControl::currentIndex() const {
    return tabBar_->currentIndex();
}

void TabControl::setCurrentIndex(int index) {
    tabBar_->setCurrentIndex(index);
}

void TabControl::showPage(int index) {
    for (int i = 0; i < pages_.size(); ++i) {
        pages_[i]->setVisible(i == index);
    }
    tabBar_->raise();
}

void TabControl::resizeEvent(QResizeEvent*) {
    tabBar_->setGeometry(0, 0, width(), tabBar_->sizeHint().height());
    for (QWidget* page : pages_) {
        page->setGeometry(rect());
    }
}

void TabControl::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int top = tabBar_->sizeHint().height();
    frame.rect = rect().adjusted(0, top - 1, 0, 0);
    frame.tabBarSize = tabBar_->sizeHint();
    frame.tabBarRect = tabBar_->geometry();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace zelvo::app
