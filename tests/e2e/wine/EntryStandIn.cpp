// A Windows stand-in for the suite's entry program, for the tests of Wine installations. It
// writes the login context the way the suite's Windows programs write settings: with the ANSI
// registry API, in the ANSI code page (950 under zh_TW.UTF-8), under application "kelpan" and the
// section of its Windows current folder (also in the ANSI code page).
//
//   GARVO.exe [KEY=VALUE]... [/start PROGRAM]
//
// Each KEY=VALUE is written as it comes (Wine hands the Unix arguments over as Unicode; they are
// turned into the ANSI code page here); then PROGRAM, when given, is started in the same folder
// without waiting for it. Exit status 0, or 1 with a line on standard error.

#include "WineText.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string ansi(const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string bytes(size_t(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

int fail(const char* what, DWORD code)
{
    std::fprintf(stderr, "GARVO stand-in: %s failed (Windows error %lu)\n", what,
                 static_cast<unsigned long>(code));
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    char folder[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return fail("GetCurrentDirectoryA", ::GetLastError());
    const std::string path =
        std::string("Software\\VB and VBA Program Settings\\kelpan\\") + folder;
    HKEY key = nullptr;
    LSTATUS status = ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return fail("RegCreateKeyExA", DWORD(status));

    std::wstring start;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"/start" && i + 1 < argc) {
            start = argv[++i];
            continue;
        }
        const size_t equals = argument.find(L'=');
        if (equals == std::wstring::npos)
            continue;
        const std::string name = ansi(argument.substr(0, equals));
        const std::string value = ansi(argument.substr(equals + 1));
        status =
            ::RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
        if (status != ERROR_SUCCESS)
            return fail("RegSetValueExA", DWORD(status));
    }
    ::RegCloseKey(key);

    if (!start.empty()) {
        std::wstring commandLine = L"\"" + start + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process))
            return fail("CreateProcessW", ::GetLastError());
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    return 0;
}
