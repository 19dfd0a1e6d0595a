// Windows: web pages open through explorer.exe, minimised, and files in notepad.exe, maximised,
// as the program always has.
#include <windows.h>

#include <QDir>
#include <QUrl>
#include <string>
#include <vector>

#include "app/platform/platform.h"

namespace zelvo::app::platform {
namespace {

// The full path of a Windows program in a system folder. By its bare name Windows would look in
// the program's own folder and the current folder first, where anyone could have placed a
// program of that name. Empty when the folder is unknown.
QString systemProgramPath(UINT(WINAPI* folderOf)(LPWSTR, UINT), const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT size = folderOf(folder, MAX_PATH);
    if (size == 0 || size >= MAX_PATH) return {};
    return QString::fromWCharArray(folder, int(size)) + QLatin1Char('\\') +
           QString::fromWCharArray(name);
}

bool startProgram(const QString& path, const QString& argument, WORD show) {
    if (path.isEmpty()) return false;
    const QString commandLine = QLatin1Char('"') + path + QStringLiteral("\" ") + argument;
    const std::wstring application = path.toStdWString();
    std::vector<wchar_t> buffer(commandLine.size() + 1, L'\0');
    commandLine.toWCharArray(buffer.data());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

bool openUrl(const QUrl& url) {
    return startProgram(systemProgramPath(GetWindowsDirectoryW, L"explorer.exe"),
                        url.toString(QUrl::FullyEncoded), SW_SHOWMINIMIZED);
}

bool openInTextEditor(const QString& path) {
    return startProgram(systemProgramPath(GetSystemDirectoryW, L"notepad.exe"),
                        QDir::toNativeSeparators(path), SW_SHOWMAXIMIZED);
}

void endProcess() {
    ExitProcess(0);
}

void prepareProcess() {}

}  // namespace zelvo::app::platform
