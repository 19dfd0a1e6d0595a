#pragma once

#include <QString>

namespace zelvo::app {

// The titles of the window's message boxes.
inline const QString kNoticeTitle = QStringLiteral("提示");
inline const QString kErrorTitle = QStringLiteral("错误提示");
inline const QString kAddNumberTitle = QStringLiteral("添加提示");
inline const QString kQuitTitle = QStringLiteral("退出提示");

}  // namespace zelvo::app
