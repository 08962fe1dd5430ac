// The Windows module of the Wine hand-off benchmark, built with MinGW-w64 and run under Wine as
// "E2.exe". It reads the hand-off keys "AT", "YXQ" and "ATU" the way the suite's Windows modules
// do (ANSI registry API, application "kelpan", the section of its Windows current folder) and
// appends the line of bench/HandOffModule.cpp to the file named by TEVO_STANDIN_RECORD:
//
//   name, AT, YXQ, ATU, Windows current folder, argument count, start in ms since the epoch,
//   ns at the start of main(), ns once the keys were read
//
// Windows code cannot read CLOCK_MONOTONIC. Its times come from QueryPerformanceCounter, which
// Wine 8 on Linux answers from CLOCK_MONOTONIC_RAW (10 MHz, 100 ns steps): the benchmark takes
// its own times from that clock, and checks the match in every run (a start must fall between
// the times taken before and after the wine command that ran it).

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

long long rawNs()
{
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    const long long c = counter.QuadPart;
    const long long f = frequency.QuadPart;
    return c / f * 1000000000LL + c % f * 1000000000LL / f;
}

std::string readKey(HKEY key, const char* name)
{
    char data[4096];
    DWORD size = sizeof data - 1;
    if (!key || ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                                   &size) != ERROR_SUCCESS)
        return "(missing)";
    data[size] = '\0';
    // Wide, then UTF-8: the record is UTF-8 whatever the ANSI code page.
    wchar_t wide[4096];
    const int length = ::MultiByteToWideChar(CP_ACP, 0, data, -1, wide, 4096);
    char utf8[16384];
    ::WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

} // namespace

int wmain(int argc, wchar_t**)
{
    const long long startedNs = rawNs();
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const unsigned long long startedMs = ticks / 10000 - 11644473600000ULL;

    char folder[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return 2;
    const std::string path =
        std::string("Software\\VB and VBA Program Settings\\kelpan\\") + folder;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        key = nullptr;
    const std::string at = readKey(key, "AT");
    const std::string yxq = readKey(key, "YXQ");
    const std::string atu = readKey(key, "ATU");
    const long long keysReadNs = rawNs();
    if (key)
        ::RegCloseKey(key);

    // The record's Unix path: Wine's Z: drive holds the whole file system.
    char record[MAX_PATH];
    const DWORD recordLength = ::GetEnvironmentVariableA("TEVO_STANDIN_RECORD", record, MAX_PATH);
    if (recordLength == 0 || recordLength >= MAX_PATH || record[0] != '/') {
        std::fprintf(stderr, "E2.exe: TEVO_STANDIN_RECORD names no absolute Unix path\n");
        return 2;
    }
    std::string windowsRecord = std::string("Z:") + record;
    for (char& c : windowsRecord) {
        if (c == '/')
            c = '\\';
    }
    const std::string line = "E2.exe\t" + at + '\t' + yxq + '\t' + atu + '\t' + folder + '\t' +
                             std::to_string(argc) + '\t' + std::to_string(startedMs) + '\t' +
                             std::to_string(startedNs) + '\t' + std::to_string(keysReadNs) + '\n';
    const HANDLE file =
        ::CreateFileA(windowsRecord.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !::WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr) ||
        written != line.size()) {
        std::fprintf(stderr, "E2.exe: cannot write the record file\n");
        return 3;
    }
    ::CloseHandle(file);
    return 0;
}
