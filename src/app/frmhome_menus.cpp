// The menu bar: three menus, no shortcut keys.
#include <QMenu>
#include <QMenuBar>

#include "app/frmhome.h"

namespace zelvo::app {

namespace {

struct MenuEntry {
    const char* name;
    const char* caption;
};

void addMenu(QMenuBar* bar, const char* name, const QString& caption,
             std::initializer_list<MenuEntry> entries) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("_title"));
    for (const MenuEntry& entry : entries) {
        QAction* action = menu->addAction(QString::fromUtf8(entry.caption));
        action->setObjectName(QString::fromLatin1(entry.name));
    }
}

}  // namespace

void frmhome::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    addMenu(bar, "Menu", QStringLiteral("菜单管理"),
            {{"M_send", "发送短信"}, {"M_saveset", "保存设置"}, {"M_exit", "退出程序"}});
    addMenu(bar, "M_setphone", QStringLiteral("手机号码管理"),
            {{"M_addphone", "手动输入号码"},
             {"M_txt", "文本文件导入"},
             {"M_clsphone", "清空号码列表"},
             {"M_looktxt", "查看电话本文件"}});
    addMenu(bar, "M_help", QStringLiteral("软件帮助"),
            {{"M_msg", "信息公告"}, {"M_lblbook", "故障反馈"}, {"M_about", "关于程序"}});
}

}  // namespace zelvo::app
