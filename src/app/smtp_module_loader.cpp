#include "app/smtp_module_loader.h"

#include <QDir>
#include <QLibrary>

#include "app/module_folders.h"
#include "sms/mail_error.h"
#include "smtp/smtp_module.h"

namespace zelvo::app {

namespace {

struct LoadedModule {
    sms::SubmitMailFunction submit = nullptr;
    QString error;
};

LoadedModule loadSmtpModule() {
    LoadedModule loaded;
    for (const QString& folder : moduleFolders()) {
        QLibrary module(QDir(folder).filePath(QString::fromLatin1(kSmtpModuleName)));
        loaded.submit =
            reinterpret_cast<sms::SubmitMailFunction>(module.resolve(kSubmitMailSymbol));
        if (loaded.submit) return loaded;
        loaded.error += QStringLiteral("\n") + module.errorString();
    }
    return loaded;
}

}  // namespace

void submitThroughSmtpModule(const sms::SmtpSubmission& submission,
                             const sms::TransportOptions& options) {
    // Loaded once, on the first send's thread; a function-local static is safe against a race.
    static const LoadedModule module = loadSmtpModule();
    if (!module.submit) {
        throw sms::MailError(
            QStringLiteral("无法加载邮件发送模块 / cannot load the SMTP module:") + module.error,
            sms::FailureCause::Setup);
    }
    module.submit(submission, options);
}

}  // namespace zelvo::app
