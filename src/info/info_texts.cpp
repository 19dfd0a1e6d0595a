#include "info/info_texts.h"

namespace zelvo::info {

InfoTexts makeInfoTexts(const QString& appTitle, int major, int minor, int revision,
                        const QString& homepageUrl, const QString& contactMail) {
    InfoTexts texts;
    texts.title = QStringLiteral("名称 ") + appTitle;
    texts.version = QStringLiteral("版本 %1.%2.%3").arg(major).arg(minor).arg(revision);
    texts.function = QStringLiteral("功能 免费发送移动手机短信.");
    texts.design = QStringLiteral("设计 Zelvo软件工作室");
    if (!homepageUrl.isEmpty()) texts.homepage = QStringLiteral("主页 ") + homepageUrl;
    if (!contactMail.isEmpty()) texts.mail = QStringLiteral("邮件 ") + contactMail;
    return texts;
}

}  // namespace zelvo::info
