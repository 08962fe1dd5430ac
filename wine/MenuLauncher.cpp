// tevo-menu.exe: the way from the suite's Windows programs back into the native menu. The
// administrator copies it into the suite's folder under the Windows menu's file name; when a
// Windows program starts that file, this program starts the native Linux menu in its own current
// folder (Wine gives a Linux program the Unix form of the Windows current folder) and ends
// without waiting for it.
//
// The menu is the program named by the environment variable TEVO_MENU_PROGRAM (a Unix path),
// else the first of the installed places fixed at build time that holds it. When the start
// fails, the program says why on its standard error and, where there is a display, in a message
// box, and exits with status 1.

#include "InstalledMenu.h"
#include "WineText.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tevo::wine {
namespace {

const wchar_t* const kTitle = L"Tevo 保養廠管理系統";

std::wstring environmentValue(const wchar_t* name)
{
    const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0)
        return std::wstring();
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

void writeError(const std::wstring& message)
{
    const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        const std::wstring line = L"tevo-menu.exe: " + message + L"\n";
        DWORD mode = 0;
        DWORD written = 0;
        if (::GetConsoleMode(handle, &mode)) {
            ::WriteConsoleW(handle, line.c_str(), static_cast<DWORD>(line.size()), &written,
                            nullptr);
        } else {
            const std::string bytes = toUtf8(line);
            ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
    }
    // Without a display (a terminal, a test) a message box would wait for a click no one can
    // give: standard error carries the message alone.
    if (!environmentValue(L"DISPLAY").empty() || !environmentValue(L"WAYLAND_DISPLAY").empty())
        ::MessageBoxW(nullptr, message.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

int fail(const std::wstring& program, const std::wstring& reason)
{
    writeError(L"無法啟動 Tevo 主目錄「" + program + L"」：" + reason +
               L"。請確認 Tevo 主目錄（tevo-menu）已經安裝，或以環境變數 TEVO_MENU_PROGRAM "
               L"指定它的位置。");
    return 1;
}

std::vector<std::wstring> installedPlaces()
{
    std::vector<std::wstring> places;
    const std::wstring list = TEVO_MENU_INSTALLED;
    size_t start = 0;
    for (size_t end; (end = list.find(L':', start)) != std::wstring::npos; start = end + 1)
        places.push_back(list.substr(start, end - start));
    places.push_back(list.substr(start));
    return places;
}

int run()
{
    const WinePaths paths;
    // A Unix path is turned into the Windows path of the same file: Wine would read
    // "/usr/bin/tevo-menu" as a folder of the current drive, which need not be Z:.
    const auto windowsForm = [&paths](const std::wstring& program) -> std::optional<std::wstring> {
        if (program.empty() || program[0] != L'/')
            return program;
        return paths.toWindows(toUtf8(program));
    };

    std::wstring program = environmentValue(L"TEVO_MENU_PROGRAM");
    if (program.empty()) {
        const std::vector<std::wstring> places = installedPlaces();
        program = places.front();
        for (const std::wstring& place : places) {
            const std::optional<std::wstring> file = windowsForm(place);
            if (file && ::GetFileAttributesW(file->c_str()) != INVALID_FILE_ATTRIBUTES) {
                program = place;
                break;
            }
        }
    }
    if (program[0] == L'/' && !paths.available())
        return fail(program, L"這個程式必須在 Wine 中執行");
    const std::optional<std::wstring> windowsPath = windowsForm(program);
    if (!windowsPath)
        return fail(program, L"Wine 找不到這個 Linux 路徑");
    const std::wstring application = *windowsPath;

    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // No current folder is given: the menu starts in this program's own.
    if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process)) {
        return fail(program, errorText(::GetLastError()));
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 0;
}

} // namespace
} // namespace tevo::wine

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return tevo::wine::run();
}
