#include "cli/send_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

#include "cli/command_line.h"
#include "cli/stall_free_writer.h"
#include "cli/standard_input.h"
#include "files/user_file.h"
#include "recipients/entry_list.h"
#include "recipients/number_entry.h"
#include "recipients/selection_walk.h"
#include "record/send_record.h"
#include "settings/settings_file.h"
#include "sms/failure_report.h"
#include "sms/gateway_submission.h"
#include "sms/message_parts.h"
#include "sms/send_check.h"
#include "smtp/smtp_submission.h"
#include "text/visible_text.h"

namespace zelvo::cli {

namespace {

const QString kProgram = QStringLiteral("zelvo-sms-send");
const QString kPasswordVariable = QStringLiteral("ZELVO_SMS_PASSWORD");

// A refusal before anything was sent: what to tell the user and the exit code.
struct Refusal {
    int code;
    QStringList lines;
};

void say(QIODevice& device, const QString& text) {
    device.write(text.toUtf8());
}

// Standard error may be a pipe that nobody reads: nothing written there may hold the command
// for longer than a moment. Names and texts from files are shown with their control characters
// written out, so that none can act on the terminal.
void tell(StallFreeWriter& err, const QString& line) {
    using namespace std::chrono_literals;
    err.write((kProgram + QStringLiteral(": ") + text::visibleText(line, false) + u'\n').toUtf8(),
              2s);
}

// A message is under 70 characters, up to four bytes each, and in ten parts (--split) fewer than
// 640 UTF-16 code units, up to three bytes each: anything longer than this is not one, and
// reading no more keeps an endless input (`yes |`) from filling the memory.
constexpr qint64 kMaxStandardInputBytes = 4096;

// The folders of installed copies, as the help names them.
QString installedPlaces(const QStringList& folders) {
    QStringList shown;
    for (const QString& folder : folders) shown << QDir::toNativeSeparators(folder);
#ifdef Q_OS_WIN
    shown << QStringLiteral("Program Files");
#endif
    shown.removeDuplicates();
    return shown.join(QStringLiteral(", "));
}

#ifdef Q_OS_WIN
const QString kPasswordFileRule =
    QStringLiteral(" (文件只能由本人读取:\n                        属性 → 安全 中没有别的用户);");
const QString kStandardInputRule = QStringLiteral(
    "UTF-8 文本; 不是 UTF-8 时按控制台的代码页,\n"
    "从管道或文件读取时按系统的 ANSI 代码页, 中文 Windows 上都是 936 (GBK);\n");
#else
const QString kPasswordFileRule =
    QStringLiteral(" (文件只能由本人读取,\n                        例如 chmod 600 FILE);");
const QString kStandardInputRule = QStringLiteral("UTF-8, ");
#endif

QString helpText(const SendCommandContext& context) {
    return QStringLiteral(
               "用法: %1 [选项] 号码[,号码...] [短信内容]\n"
               "\n"
               "通过 139 邮箱的短信网关发送一条少于 %2 个字符的短信, 最多发给 %3 个移动手机号码。\n"
               "号码也可以是号码列表中的名字 (set.ini 中 \"名字,号码\" 的名字)。\n"
               "没有短信内容或内容为 \"-\" 时, 从标准输入读取 (%11去掉末尾的换行)。\n"
               "\n"
               "选项:\n"
               "  --from ADDRESS        发信的邮箱账号 (默认为 set.ini 中的账号)\n"
               "  --password-file FILE  从文件的第一行读取邮箱密码%10 也可用环境变量 %4,\n"
               "                        否则用 set.ini 中的密码\n"
               "  --settings FILE       使用这个 set.ini (默认 %5)\n"
               "                        安装的程序 (%8) 总是使用每个用户自己的\n"
               "                        %9; 其他位置的 (便携) 程序使用程序旁边的 set.ini,\n"
               "                        那里没有 set.ini 且不可写入时也用前者\n"
               "  --tls starttls|implicit\n"
               "                        只用这一种加密方式连接: starttls 为端口 %6 上的\n"
               "                        STARTTLS, implicit 为端口 %7 上的 SSL/TLS;\n"
               "                        默认先试 STARTTLS, 连不上再用 SSL/TLS\n"
               "  --port N              与 --tls 一起使用: 连接端口 N\n"
               "  --dry-run             只显示将要提交的邮件, 不连接服务器\n"
               "  --verbose             在标准错误上显示与邮件服务器的对话 (隐藏密码)\n"
               "  --no-record           不把这次发送写入发送记录 (set.ini 旁的 sent.log)\n"
               "  --split               长短信分条发送: 分成最多 %12 条, 每条以 (1/3) 这样的序号\n"
               "                        开头, 依次发送; 一条失败时不再发送后面的\n"
               "  --help                显示本帮助\n"
               "  --version             显示版本\n"
               "\n"
               "退出码: 0 已发送; 64 用法错误; 65 号码或短信内容不符合要求;\n"
               "        69 服务器拒绝; 75 暂时失败 (无法连接、超时、连接中断、服务器暂时拒绝),\n"
               "        可以稍后重试;"
               " 78 没有可用的邮箱账号或密码。\n")
        .arg(kProgram)
        .arg(sms::MessageLimit)
        .arg(recipients::MaxSelectedNumbers)
        .arg(kPasswordVariable, QDir::toNativeSeparators(context.settingsPath))
        .arg(context.config.smtpPort)
        .arg(context.config.smtpsPort)
        .arg(installedPlaces(context.config.installedProgramFolders),
             QDir::toNativeSeparators(settings::settingsFileInFolder(
                 QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))))
        .arg(kPasswordFileRule, kStandardInputRule)
        .arg(sms::MaxMessageParts);
}

// The window's message field ends lines with CR LF, and the limit counts them as it does.
QString withWindowLineEnds(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

QString readMessage(const SendRequest& request, QIODevice& in) {
    if (request.message) return withWindowLineEnds(*request.message);
    bool tooLarge = false;
    const std::optional<QByteArray> bytes =
        files::readAtMost(in, kMaxStandardInputBytes, &tooLarge);
    if (tooLarge) {
        throw Refusal{
            kExitUsage,
            {QStringLiteral("标准输入超过 %1 字节, 不是一条短信").arg(kMaxStandardInputBytes)}};
    }
    if (!bytes) throw Refusal{kExitUsage, {QStringLiteral("无法读取标准输入")}};
    const StandardInputText input = decodeStandardInput(*bytes, standardInputCodePage());
    if (!input.refusal.isEmpty()) throw Refusal{kExitRefused, {input.refusal}};
    QString text = input.text;
    if (text.endsWith(QLatin1String("\r\n"))) {
        text.chop(2);
    } else if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    return withWindowLineEnds(text);
}

// A path as a shell takes it back, for the commands the messages suggest.
QString shellQuoted(const QString& path) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=@%+,-]+$"));
    if (plain.match(path).hasMatch()) return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

settings::SettingsData readSettings(const SendRequest& request, const SendCommandContext& context,
                                    StallFreeWriter& err) {
    const QString path =
        request.settingsFile.isEmpty() ? context.settingsPath : request.settingsFile;
    const QFileInfo file(path);
    if (!request.settingsFile.isEmpty() && (!file.isFile() || !file.isReadable())) {
        throw Refusal{kExitNoAccount,
                      {QStringLiteral("无法读取设置文件 %1").arg(QDir::toNativeSeparators(path))}};
    }
    settings::LoadReport report;
    const settings::SettingsData saved = settings::loadSettingsFile(path, &report);
    if (!report.refusal.isEmpty()) {
        throw Refusal{kExitNoAccount,
                      {QStringLiteral("没有读取设置文件 %1: %2")
                           .arg(QDir::toNativeSeparators(path), report.refusal)}};
    }
    // Still used: the window narrows the mode at its next save.
    if (!saved.password.isEmpty() && report.othersMayRead) {
        tell(err, QStringLiteral("警告: 设置文件 %1 中有邮箱密码, 同组或其他用户也能读取它; "
                                 "请执行 chmod 600 %2, 或在窗口中保存一次设置")
                      .arg(QDir::toNativeSeparators(path), shellQuoted(path)));
    }
    return saved;
}

bool isAllDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// The number of the one list entry whose name (the text before its first comma) is `name`.
QString numberForName(const QString& name, const recipients::EntryList& entries) {
    QString number;
    int matches = 0;
    for (const QStringView entry : entries) {
        const qsizetype comma = entry.indexOf(QLatin1Char(','));
        if (comma >= 0 && entry.left(comma) == name) {
            ++matches;
            number = recipients::numberOf(entry).toString();
        }
    }
    if (matches == 1) return number;
    const QString why =
        matches == 0 ? QStringLiteral("号码列表中没有这个名字")
                     : QStringLiteral("号码列表中有 %1 个这个名字, 请直接写号码").arg(matches);
    throw Refusal{kExitRefused, {QStringLiteral("收件人 %1: %2").arg(name, why)}};
}

// The numbers in the order given, checked as the selection walk checks picked entries: the
// limit first, then the number's prefix, then its 11 digits.
QStringList checkedNumbers(const QStringList& given, const recipients::EntryList& entries) {
    using recipients::WalkRejection;
    QStringList numbers;
    for (const QString& recipient : given) {
        if (numbers.size() >= recipients::MaxSelectedNumbers) {
            throw Refusal{kExitRefused,
                          {QStringLiteral("收件人 %1: %2 (最多 %3 个号码)")
                               .arg(recipient, recipients::rejectionMessage(WalkRejection::Limit))
                               .arg(recipients::MaxSelectedNumbers)}};
        }
        const bool isNumber = isAllDigits(recipient);
        const QString number = isNumber ? recipient : numberForName(recipient, entries);
        const WalkRejection rejection = recipients::rejectionOf(recipients::checkNumber(number));
        if (rejection != WalkRejection::None) {
            const QString shown =
                isNumber ? number : QStringLiteral("%1 (%2)").arg(recipient, number);
            throw Refusal{kExitRefused,
                          {QStringLiteral("收件人 %1: %2")
                               .arg(shown, recipients::rejectionMessage(rejection))}};
        }
        numbers << number;
    }
    return numbers;
}

QString readPasswordFile(const QString& path) {
    // Opened as set.ini is: without waiting on a FIFO, and not when another user may have put
    // it there.
    const files::OpenedFile opened = files::openForReading(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!opened.refusal.isEmpty()) {
        throw Refusal{kExitNoAccount,
                      {QStringLiteral("没有读取密码文件 %1: %2").arg(shown, opened.refusal)}};
    }
    if (!opened.file) {
        throw Refusal{
            kExitNoAccount,
            {QStringLiteral("无法读取密码文件 %1%2")
                 .arg(shown,
                      opened.error.isEmpty() ? QString() : QStringLiteral(": ") + opened.error)}};
    }
    // A password others can read is no secret any more: refused, as careful mail submitters do.
    if (opened.othersMayRead) {
#ifdef Q_OS_WIN
        throw Refusal{kExitNoAccount,
                      {QStringLiteral("密码文件 %1 别的用户也能读取, 没有使用; 请在它的 属性 → "
                                      "安全 中只留下您自己 (和 SYSTEM、Administrators) 后再试")
                           .arg(shown)}};
#else
        throw Refusal{kExitNoAccount,
                      {QStringLiteral("密码文件 %1 同组或其他用户也能读取, 没有使用; "
                                      "请执行 chmod 600 %2 后再试")
                           .arg(shown, shellQuoted(path))}};
#endif
    }
    bool tooLarge = false;
    const std::optional<QByteArray> bytes = files::readAtMost(*opened.file, 64 * 1024, &tooLarge);
    if (!bytes) {
        throw Refusal{kExitNoAccount,
                      {tooLarge ? QStringLiteral("密码文件 %1 太大, 不是密码文件").arg(shown)
                                : QStringLiteral("无法读取密码文件 %1").arg(shown)}};
    }
    QByteArray line = bytes->left(bytes->indexOf('\n') < 0 ? bytes->size() : bytes->indexOf('\n'));
    while (line.endsWith('\r')) line.chop(1);
    return QString::fromUtf8(line);
}

QString passwordFor(const QString& from, const SendRequest& request,
                    const SendCommandContext& context, const settings::SettingsData& saved) {
    if (!request.passwordFile.isEmpty()) return readPasswordFile(request.passwordFile);
    if (context.environment.contains(kPasswordVariable))
        return context.environment.value(kPasswordVariable);
    // The saved password belongs to the saved account only.
    return from == saved.user ? saved.password : QString();
}

int exitCodeFor(sms::FailureCause cause) {
    using sms::FailureCause;
    switch (cause) {
        case FailureCause::InvalidInput:
            return kExitRefused;
        case FailureCause::Resolve:
        case FailureCause::Connect:
        case FailureCause::Timeout:
        case FailureCause::Dropped:
            return kExitTryLater;
        case FailureCause::Setup:
        case FailureCause::Tls:
        case FailureCause::NoTrustedAuthority:
        case FailureCause::NoStartTls:
        case FailureCause::LoginRefused:
        case FailureCause::NoUsableLogin:
        case FailureCause::SenderRefused:
        case FailureCause::RecipientRefused:
        case FailureCause::MessageRefused:
        case FailureCause::Other:
            break;
    }
    return kExitUnavailable;
}

int send(const SendRequest& request, QIODevice& in, QIODevice& out, StallFreeWriter& err,
         const SendCommandContext& context) {
    const AppConfig& config = context.config;
    const settings::SettingsData saved = readSettings(request, context, err);
    const QStringList numbers = checkedNumbers(request.recipients, saved.entries);
    const QString text = readMessage(request, in);

    QString from = request.from.isEmpty() ? saved.user : request.from;
    if (from.isEmpty() && request.dryRun) {
        // A dry run shows the mail even before an account is set up.
        from = QString(recipients::NumberLength, QLatin1Char('x')) + config.mailDomainSuffix;
        tell(err, QStringLiteral("没有邮箱账号, 发信人以 %1 代替").arg(from));
    }
    const QString subject = numbers.join(QLatin1Char(','));
    const sms::SendCheck check = sms::checkSendForm(
        {from, subject, text, int(numbers.size()), request.split}, config.mailDomainSuffix);
    QStringList refused;
    if (!check.hasText) refused << QStringLiteral("短信内容为空");
    if (!check.textFits && request.split) {
        refused << QStringLiteral("短信内容有 %1 个字符 (换行算两个), 分成 %2 条也发送不完")
                       .arg(text.size())
                       .arg(sms::MaxMessageParts);
    } else if (!check.textFits) {
        refused << QStringLiteral("短信内容有 %1 个字符 (换行算两个), 必须少于 %2 个")
                       .arg(text.size())
                       .arg(sms::MessageLimit);
    }
    if (!refused.isEmpty()) throw Refusal{kExitRefused, refused};
    if (from.isEmpty()) {
        throw Refusal{kExitNoAccount,
                      {QStringLiteral("没有邮箱账号: 请用 --from 指定, 或在窗口中保存设置")}};
    }
    if (!check.passed()) {
        throw Refusal{kExitNoAccount,
                      {QStringLiteral("邮箱账号 %1 不可用: 应为 %2 位手机号码加 %3")
                           .arg(from)
                           .arg(recipients::NumberLength)
                           .arg(config.mailDomainSuffix)}};
    }
    const QString password = passwordFor(from, request, context, saved);
    if (password.isEmpty() && !request.dryRun) {
        throw Refusal{kExitNoAccount,
                      {QStringLiteral("没有邮箱密码: 请用 --password-file 或环境"
                                      "变量 %1 指定, 或在窗口中保存设置")
                           .arg(kPasswordVariable)}};
    }

    sms::TransportOptions options = sms::transportOptions(config);
    // Standard error may be a pipe that nobody reads: the dialogue must not hold the send past
    // its time limits, and the failure line waits a moment at most.
    if (request.verbose) {
        options.dialogueObserver = [&err](char direction, const QByteArray& line) {
            err.write(direction + (' ' + line) + '\n');
        };
    }
    // Every submission is recorded, whatever its outcome; a record that cannot be written does
    // not change what the send did.
    const auto keepRecord = [&](const record::SendRecord& sent) {
        if (request.noRecord) return;
        const QString error =
            record::appendSendRecord(record::sendRecordPath(context.settingsPath), sent);
        if (!error.isEmpty()) tell(err, QStringLiteral("警告: ") + error);
    };
    // Each part is a mail of its own, over the route that took the one before.
    const QStringList parts = request.split ? sms::splitMessage(text).parts : QStringList{text};
    sms::TlsMode route = request.tls.value_or(sms::TlsMode::StartTls);
    int sent = 0;
    sms::GatewaySubmission submission;
    try {
        for (const QString& part : parts) {
            submission = {};
            submission = sms::gatewaySubmission(config, from, password, subject, part, route);
            if (request.tls) {
                // A pinned route is the only one; its port as given or as built in.
                submission.routes.resize(1);
                if (request.port != 0) submission.routes.first().port = request.port;
            }
            if (request.dryRun) {
                out.write(sms::composeGatewayMail(submission).message);
            } else {
                route = smtp::submitMail(submission, options);
                keepRecord(record::sentRecord(submission, route));
            }
            ++sent;
        }
    } catch (const sms::MailError& error) {
        if (!request.dryRun && !submission.routes.isEmpty())
            keepRecord(record::failedRecord(submission, error));
        tell(err, sms::failureLine(error));
        if (parts.size() > 1) {
            for (qsizetype later = sent + 1; !request.dryRun && later < parts.size(); ++later) {
                keepRecord({QDateTime::currentDateTime(),
                            subject,
                            parts[later],
                            sms::partNotSent(sent + 1),
                            {}});
            }
            tell(err, sms::partsOutcome(sent, int(parts.size())));
        }
        // A 4xx reply refuses for now only: worth a retry, as a dropped connection is.
        const bool temporary = error.place().lastReply.startsWith(QLatin1Char('4'));
        return temporary ? kExitTryLater : exitCodeFor(error.cause());
    }
    return kExitSent;
}

}  // namespace

int runSendCommand(const QStringList& arguments, QIODevice& in, QIODevice& out,
                   QIODevice& errDevice, const SendCommandContext& context) {
    StallFreeWriter err(errDevice);
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.error.isEmpty()) {
        tell(err, QStringLiteral("%1\n请用 %2 --help 查看用法。").arg(parsed.error, kProgram));
        return kExitUsage;
    }
    if (parsed.request.help) {
        say(out, helpText(context));
        return kExitSent;
    }
    if (parsed.request.version) {
        say(out, QStringLiteral("%1 %2\n").arg(kProgram, QStringLiteral(ZELVO_VERSION)));
        return kExitSent;
    }
    try {
        return send(parsed.request, in, out, err, context);
    } catch (const Refusal& refusal) {
        for (const QString& line : refusal.lines) tell(err, line);
        return refusal.code;
    }
}

}  // namespace zelvo::cli
