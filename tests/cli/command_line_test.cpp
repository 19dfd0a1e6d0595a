// What zelvo-sms-send makes of its arguments before it reads a file or meets a server: the
// recipients, the message or standard input, the options, and each usage error.
#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace zelvo::cli {
namespace {

TEST(CommandLine, ParsesOperandsAndOptionsOrSaysWhatIsWrong) {
    const struct {
        const char* name;
        QStringList args;
        SendRequest request = {};
        const char* error = "";  // words of the usage error; "" for a usable line
    } rows[] = {
        // clang-format off
        {.name = "NumberAndMessage", .args = {"13806012345", "服务器已恢复"}, .request = {.recipients = {"13806012345"}, .message = "服务器已恢复"}},
        {.name = "CommasSplitRecipients", .args = {"13806012345, 13906054321", "李三", "开会"}, .request = {.recipients = {"13806012345", "13906054321", "李三"}, .message = "开会"}},
        {.name = "OnlyARecipientReadsStandardInput", .args = {"13806012345"}, .request = {.recipients = {"13806012345"}}},
        {.name = "DashReadsStandardInput", .args = {"13806012345", "-"}, .request = {.recipients = {"13806012345"}}},
        {.name = "OptionsMixedIn", .args = {"13806012345", "--from", "a@139.com", "--dry-run", "hi", "--verbose"}, .request = {.recipients = {"13806012345"}, .message = "hi", .from = "a@139.com", .dryRun = true, .verbose = true}},
        {.name = "DoubleDashEndsOptions", .args = {"13806012345", "--", "--verbose"}, .request = {.recipients = {"13806012345"}, .message = "--verbose"}},
        {.name = "FilesWithEquals", .args = {"--password-file=p.txt", "--settings", "s.ini", "13806012345", "hi"}, .request = {.recipients = {"13806012345"}, .message = "hi", .passwordFile = "p.txt", .settingsFile = "s.ini"}},
        {.name = "PinnedRouteAndPort", .args = {"--tls", "implicit", "--port=2465", "13806012345", "hi"}, .request = {.recipients = {"13806012345"}, .message = "hi", .tls = sms::TlsMode::Implicit, .port = 2465}},
        {.name = "PinnedStartTls", .args = {"--tls=starttls", "13806012345", "hi"}, .request = {.recipients = {"13806012345"}, .message = "hi", .tls = sms::TlsMode::StartTls}},
        {.name = "PasswordArgument", .args = {"--password=secret", "13806012345", "hi"}, .error = "不接受命令行中的密码"},
        {.name = "UnknownTls", .args = {"--tls", "ssl", "13806012345", "hi"}, .error = "--tls 的参数应为 starttls 或 implicit"},
        {.name = "PortWithoutTls", .args = {"--port", "465", "13806012345", "hi"}, .error = "--port 需要同时指定 --tls"},
        {.name = "PortOutOfRange", .args = {"--tls", "implicit", "--port", "65536", "13806012345", "hi"}, .error = "1 到 65535"},
        {.name = "EmptyRecipient", .args = {"13806012345,,13906054321", "hi"}, .error = "有空的号码"},
        {.name = "NoRecipient", .args = {"--verbose"}, .error = "缺少收件人号码"},
        {.name = "DashNotLast", .args = {"-", "13806012345", "hi"}, .error = "只能放在最后"},
        {.name = "OptionWithoutValue", .args = {"13806012345", "--from"}, .error = "选项 --from 缺少参数"},
        {.name = "OptionWithEmptyValue", .args = {"--from=", "13806012345"}, .error = "选项 --from 的参数为空"},
        {.name = "UnknownOption", .args = {"--colour", "13806012345"}, .error = "未知选项 --colour"},
        {.name = "FlagWithValue", .args = {"--verbose=1", "13806012345"}, .error = "选项 --verbose 不带参数"},
        {.name = "UnknownOptionNamedWithoutItsValue", .args = {"--passwd=secret", "13806012345"}, .error = "未知选项 --passwd"},
        {.name = "ShortOptionNamedWithoutItsValue", .args = {"-psecret", "13806012345"}, .error = "未知选项 -p"},
        // clang-format on
    };
    for (const auto& row : rows) {
        const ParsedCommandLine parsed = parseCommandLine(row.args);
        EXPECT_TRUE(*row.error ? parsed.error.contains(QString::fromUtf8(row.error))
                               : parsed.error.isEmpty() && parsed.request == row.request)
            << row.name << ": " << parsed.error.toStdString();
        EXPECT_FALSE(parsed.error.contains(QStringLiteral("secret"))) << row.name;
    }
}

}  // namespace
}  // namespace zelvo::cli
