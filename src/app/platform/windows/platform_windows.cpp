// Windows: run the command line as it stands, shown as asked.
#include <windows.h>

#include <vector>

#include "app/application_setup.h"
#include "app/qt_platform_services.h"

namespace zelvo::app {

bool startCommandLine(const QString& program, const QString& argument, WindowShow show) {
    QString commandLine = program;
    if (!argument.isEmpty()) {
        commandLine += QLatin1Char(' ') + argument;
    }
    std::vector<wchar_t> buffer(commandLine.size() + 1, L'\0');
    commandLine.toWCharArray(buffer.data());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show == WindowShow::Minimized ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
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
