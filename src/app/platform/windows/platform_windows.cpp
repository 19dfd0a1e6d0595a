// Windows: start the Windows program named in the command line, shown as asked.
#include <windows.h>

#include <string>
#include <vector>

#include "app/application_setup.h"
#include "app/qt_platform_services.h"

namespace zelvo::app {
namespace {

// The full path of the Windows program a command line names: explorer.exe in the Windows folder,
// notepad.exe in the system folder. By its bare name Windows would look in the program's own
// folder and the current folder first, where anyone could have placed a program of that name.
// Empty for any other program: none is started.
QString windowsProgramPath(const QString& program) {
    const QString name = program.toLower();
    wchar_t folder[MAX_PATH];
    UINT size = 0;
    if (name == QLatin1String("explorer.exe")) {
        size = GetWindowsDirectoryW(folder, MAX_PATH);
    } else if (name == QLatin1String("notepad.exe")) {
        size = GetSystemDirectoryW(folder, MAX_PATH);
    }
    if (size == 0 || size >= MAX_PATH) return {};
    return QString::fromWCharArray(folder, int(size)) + QLatin1Char('\\') + name;
}

}  // namespace

bool startCommandLine(const QString& program, const QString& argument, WindowShow show) {
    const QString path = windowsProgramPath(program);
    if (path.isEmpty()) return false;
    QString commandLine = QLatin1Char('"') + path + QLatin1Char('"');
    if (!argument.isEmpty()) {
        commandLine += QLatin1Char(' ') + argument;
    }
    const std::wstring application = path.toStdWString();
    std::vector<wchar_t> buffer(commandLine.size() + 1, L'\0');
    commandLine.toWCharArray(buffer.data());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show == WindowShow::Minimized ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void endProcessNow() {
    ExitProcess(0);
}

void preparePlatformProcess() {}

}  // namespace zelvo::app
