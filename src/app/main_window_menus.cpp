// The menu bar: three menus, no shortcut keys.
#include <QMenu>
#include <QMenuBar>

#include "app/main_window.h"

namespace zelvo::app {

namespace {

struct MenuEntry {
    const char* name;
    const char* caption;
    void (MainWindow::*slot)();
};

void addMenu(MainWindow* window, const char* name, const QString& caption,
             std::initializer_list<MenuEntry> entries) {
    QMenu* menu = window->menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Title"));
    for (const MenuEntry& entry : entries) {
        QAction* action = menu->addAction(QString::fromUtf8(entry.caption));
        action->setObjectName(QString::fromLatin1(entry.name));
        QObject::connect(action, &QAction::triggered, window, entry.slot);
    }
}

}  // namespace

// A menu entry with a button twin runs the button's slot.
void MainWindow::buildMenus() {
    menuBar()->setNativeMenuBar(false);
    addMenu(this, "commandMenu", QStringLiteral("菜单管理"),
            {{"sendAction", "发送短信", &MainWindow::send},
             {"saveAction", "保存设置", &MainWindow::saveSettings},
             {"sendRecordAction", "发送记录", &MainWindow::viewSendRecord},
             {"exitAction", "退出程序", &MainWindow::requestClose}});
    addMenu(this, "numberMenu", QStringLiteral("手机号码管理"),
            {{"addNumberAction", "手动输入号码", &MainWindow::addNumberByHand},
             {"importAction", "文本文件导入", &MainWindow::importPhoneBookAndSave},
             {"deleteNumbersAction", "删除所选号码", &MainWindow::deletePickedNumbers},
             {"clearListAction", "清空号码列表", &MainWindow::clearNumberList},
             {"viewPhoneBookAction", "查看电话本文件", &MainWindow::viewPhoneBookFile}});
    addMenu(this, "helpMenu", QStringLiteral("软件帮助"),
            {{"noticesAction", "信息公告", &MainWindow::showNotices},
             {"feedbackAction", "故障反馈", &MainWindow::openFeedbackPage},
             {"aboutAction", "关于程序", &MainWindow::showAbout}});
}

}  // namespace zelvo::app
