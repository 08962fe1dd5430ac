#pragma once

// Text helpers of the Windows programs built here: UTF-8 and UTF-16 conversion and the Wine
// functions that map between Windows and Unix paths. Plain C++ with the Win32 wide API.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tevo::wine {

// Strict UTF-8 to UTF-16: nullopt when the bytes are not valid UTF-8.
inline std::optional<std::wstring> fromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                          wide.data(), length);
    return wide;
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
inline std::string toUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                              length, nullptr, nullptr);
    }
    return bytes;
}

// The system's text for a Win32 error code, without the line break it ends with, followed by
// the code itself.
inline std::wstring errorText(DWORD code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() &&
           std::wstring_view(L"\r\n .。").find(text.back()) != std::wstring_view::npos)
        text.pop_back();
    if (text.empty())
        text = L"Windows 錯誤";
    return text + L"（代碼 " + std::to_wstring(code) + L"）";
}

// Wine's own exports of kernel32 that map paths between the Windows and the Unix side. Both
// return memory of the process heap, or null when the path has no counterpart. Absent (null
// function pointers) when the program does not run under Wine.
class WinePaths
{
public:
    WinePaths()
    {
        if (HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll")) {
            m_toUnix = reinterpret_cast<ToUnix>(
                reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
            m_toWindows = reinterpret_cast<ToWindows>(
                reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_dos_file_name")));
        }
    }

    bool available() const { return m_toUnix && m_toWindows; }

    // The Unix path (bytes as the Unix side names it) of a Windows path.
    std::optional<std::string> toUnix(const std::wstring& windowsPath) const
    {
        if (!m_toUnix)
            return std::nullopt;
        char* unixPath = m_toUnix(windowsPath.c_str());
        if (!unixPath)
            return std::nullopt;
        std::string result(unixPath);
        ::HeapFree(::GetProcessHeap(), 0, unixPath);
        return result;
    }

    // The Windows path of a Unix path (given as the Unix side's bytes).
    std::optional<std::wstring> toWindows(const std::string& unixPath) const
    {
        if (!m_toWindows)
            return std::nullopt;
        wchar_t* windowsPath = m_toWindows(unixPath.c_str());
        if (!windowsPath)
            return std::nullopt;
        std::wstring result(windowsPath);
        ::HeapFree(::GetProcessHeap(), 0, windowsPath);
        return result;
    }

private:
    using ToUnix = char*(CDECL*)(const wchar_t*);
    using ToWindows = wchar_t*(CDECL*)(const char*);
    ToUnix m_toUnix = nullptr;
    ToWindows m_toWindows = nullptr;
};

} // namespace tevo::wine
