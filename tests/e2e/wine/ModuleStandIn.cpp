// A Windows stand-in for the suite's modules, for the tests of Wine installations. It reads the
// hand-off keys "AT", "YXQ" and "ATU" the way the suite's Windows modules do: with the ANSI
// registry API under application "kelpan" and the section of its Windows current folder, and
// turns them from the ANSI code page into UTF-8. It appends one line to the file named by
// TEVO_STANDIN_RECORD (a Unix or Windows path), in the format of the Linux stand-in:
//
//   name TAB AT TAB YXQ TAB ATU TAB Windows current folder TAB argument count TAB start ms
//
// A key that does not exist reads "(missing)"; backslash, tab, CR and LF in values are escaped.

#include "WineText.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring fromAnsi(const std::string& bytes)
{
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring text(size_t(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), text.data(), length);
    return text;
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string readKey(HKEY key, const char* name)
{
    char data[4096];
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (!key || ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                   &size) != ERROR_SUCCESS)
        return "(missing)";
    data[size] = '\0';
    return escaped(tevo::wine::toUtf8(fromAnsi(data)));
}

} // namespace

int wmain(int argc, wchar_t**)
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const unsigned long long startedMs = ticks / 10000 - 11644473600000ULL;

    wchar_t recordName[MAX_PATH];
    const DWORD recordLength =
        ::GetEnvironmentVariableW(L"TEVO_STANDIN_RECORD", recordName, MAX_PATH);
    if (recordLength == 0 || recordLength >= MAX_PATH) {
        std::fprintf(stderr, "module stand-in: TEVO_STANDIN_RECORD is not set\n");
        return 2;
    }
    std::wstring record = recordName;
    if (record[0] == L'/') {
        const auto windowsPath = tevo::wine::WinePaths().toWindows(tevo::wine::toUtf8(record));
        if (!windowsPath) {
            std::fprintf(stderr, "module stand-in: no Windows path for the record file\n");
            return 2;
        }
        record = *windowsPath;
    }

    char folder[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return 2;
    const std::string path =
        std::string("Software\\VB and VBA Program Settings\\kelpan\\") + folder;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        key = nullptr;

    wchar_t self[MAX_PATH];
    const DWORD selfLength = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring name(self, selfLength);
    name = name.substr(name.find_last_of(L"\\/") + 1);

    const std::string line = tevo::wine::toUtf8(name) + '\t' + readKey(key, "AT") + '\t' +
                             readKey(key, "YXQ") + '\t' + readKey(key, "ATU") + '\t' +
                             tevo::wine::toUtf8(fromAnsi(folder)) + '\t' + std::to_string(argc) +
                             '\t' + std::to_string(startedMs) + '\n';
    if (key)
        ::RegCloseKey(key);

    // One write at the end of the file: several stand-ins may append to it.
    const HANDLE file =
        ::CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !::WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr) ||
        written != line.size()) {
        std::fprintf(stderr, "module stand-in: cannot write the record file\n");
        return 3;
    }
    ::CloseHandle(file);
    return 0;
}
