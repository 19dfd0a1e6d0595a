#include "cli/command_line.h"

namespace zelvo::cli {

namespace {

// The values of options that are checked once the whole line is read.
struct RouteOptions {
    QString tls;
    QString port;
};

// Options that take a value, and where it goes.
QString* valueSlot(SendRequest& request, RouteOptions& route, const QString& name) {
    if (name == QLatin1String("--from")) return &request.from;
    if (name == QLatin1String("--password-file")) return &request.passwordFile;
    if (name == QLatin1String("--settings")) return &request.settingsFile;
    if (name == QLatin1String("--tls")) return &route.tls;
    if (name == QLatin1String("--port")) return &route.port;
    return nullptr;
}

// The route --tls and --port pin, or why they cannot.
QString pinRoute(SendRequest& request, const RouteOptions& route) {
    if (route.tls == QLatin1String("starttls")) {
        request.tls = sms::TlsMode::StartTls;
    } else if (route.tls == QLatin1String("implicit")) {
        request.tls = sms::TlsMode::Implicit;
    } else if (!route.tls.isEmpty()) {
        return QStringLiteral("选项 --tls 的参数应为 starttls 或 implicit");
    }
    if (route.port.isEmpty()) return {};
    if (!request.tls) return QStringLiteral("选项 --port 需要同时指定 --tls");
    bool number = false;
    const uint port = route.port.toUInt(&number);
    if (!number || port < 1 || port > 65535)
        return QStringLiteral("选项 --port 的参数应为 1 到 65535 之间的端口号");
    request.port = static_cast<quint16>(port);
    return {};
}

bool* flagSlot(SendRequest& request, const QString& name) {
    if (name == QLatin1String("--dry-run")) return &request.dryRun;
    if (name == QLatin1String("--verbose")) return &request.verbose;
    if (name == QLatin1String("--no-record")) return &request.noRecord;
    if (name == QLatin1String("--split")) return &request.split;
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) return &request.help;
    if (name == QLatin1String("--version")) return &request.version;
    return nullptr;
}

}  // namespace

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    ParsedCommandLine parsed;
    SendRequest& request = parsed.request;
    RouteOptions route;
    QStringList operands;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) ||
            argument == QLatin1String("-")) {
            operands << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        if (name == QLatin1String("--password")) {
            parsed.error = QStringLiteral(
                "不接受命令行中的密码 (其他用户能在进程列表中看到它), "
                "请用 --password-file 文件 或环境变量 ZELVO_SMS_PASSWORD");
            return parsed;
        }
        if (QString* slot = valueSlot(request, route, name)) {
            if (equals >= 0) {
                *slot = argument.mid(equals + 1);
            } else if (i + 1 < arguments.size()) {
                *slot = arguments[++i];
            } else {
                parsed.error = QStringLiteral("选项 %1 缺少参数").arg(name);
                return parsed;
            }
            if (slot->isEmpty()) {
                parsed.error = QStringLiteral("选项 %1 的参数为空").arg(name);
                return parsed;
            }
            continue;
        }
        // The name alone: a mistyped option may carry a secret, as in --passwd=...
        bool* flag = flagSlot(request, name);
        if (flag == nullptr) {
            // A short option carries its value attached, as in -pSECRET: the letter alone.
            const bool shortOption = !name.startsWith(QLatin1String("--"));
            parsed.error = QStringLiteral("未知选项 %1").arg(shortOption ? name.left(2) : name);
            return parsed;
        }
        if (equals >= 0) {
            parsed.error = QStringLiteral("选项 %1 不带参数").arg(name);
            return parsed;
        }
        *flag = true;
    }
    if (request.help || request.version) return parsed;
    parsed.error = pinRoute(request, route);
    if (!parsed.error.isEmpty()) return parsed;

    if (operands.isEmpty()) {
        parsed.error = QStringLiteral("缺少收件人号码");
        return parsed;
    }
    if (operands.size() > 1) {
        const QString last = operands.takeLast();
        if (last != QLatin1String("-")) request.message = last;
    }
    for (const QString& operand : operands) {
        if (operand == QLatin1String("-")) {
            parsed.error = QStringLiteral("\"-\" (从标准输入读取短信内容) 只能放在最后");
            return parsed;
        }
        for (const QString& piece : operand.split(QLatin1Char(','))) {
            const QString recipient = piece.trimmed();
            if (recipient.isEmpty()) {
                parsed.error = QStringLiteral("收件人 \"%1\" 中有空的号码").arg(operand);
                return parsed;
            }
            request.recipients << recipient;
        }
    }
    return parsed;
}

}  // namespace zelvo::cli
