#include "cli/standard_input.h"

#include <QStringDecoder>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>

#include <cstdio>
#endif

namespace zelvo::cli {

unsigned standardInputCodePage() {
#ifdef Q_OS_WIN
    DWORD consoleMode = 0;
    if (GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdin))), &consoleMode))
        return GetConsoleCP();
    return GetACP();
#else
    return 0;
#endif
}

StandardInputText decodeStandardInput(const QByteArray& bytes, unsigned codePage) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return {text, {}};
#ifdef Q_OS_WIN
    // Strict: without MB_ERR_INVALID_CHARS a byte that is no character would become "?".
    const auto decode = [&](wchar_t* out, int room) {
        return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.constData(),
                                   int(bytes.size()), out, room);
    };
    const int length = codePage != 0 ? decode(nullptr, 0) : 0;
    if (length > 0) {
        text.resize(length);
        if (decode(reinterpret_cast<wchar_t*>(text.data()), length) == length) return {text, {}};
    }
    return {{}, QStringLiteral("标准输入不是 UTF-8 文本, 也不是代码页 %1 的文本").arg(codePage)};
#else
    Q_UNUSED(codePage);
    return {{}, QStringLiteral("标准输入不是 UTF-8 文本")};
#endif
}

}  // namespace zelvo::cli
