// tevo-winebridge.exe: answers the native menu's questions about the Wine installation it runs
// in. The menu starts it once through `wine`, as its child, in the working folder, and talks to
// it over standard input and output. Everything it answers comes from Wine itself, so the menu
// sees the folders, drives and registry exactly as the suite's Windows programs see them.
//
// Requests and replies are lines of UTF-8 text ending in LF, fields separated by TAB. Inside a
// field, backslash is written \\, TAB \t, CR \r and LF \n; no other escape exists. Each request
// gets exactly one reply line, written at once:
//
//   ok [TAB field]...       the answer
//   missing                 the key, value or section does not exist
//   error TAB message       what went wrong, in words a person can act on
//
// Requests (the settings key is HKCU\Software\VB and VBA Program Settings\APP\SECTION, values
// REG_SZ, a SECTION with backslashes a path of nested keys):
//
//   hello                              ok TAB tevo-winebridge TAB 1 (the protocol version)
//   cwd                                ok TAB the Windows current folder
//   unix TAB WINDOWS-PATH              ok TAB the Unix path
//   windows TAB UNIX-PATH              ok TAB the Windows path
//   root TAB WINDOWS-PATH              ok TAB the root of its drive ("D:\", "\\server\share\")
//   serial TAB WINDOWS-PATH            ok TAB the volume serial of its drive, 8 hex digits
//   get TAB APP TAB SECTION TAB KEY    ok TAB value, or missing
//   set TAB APP TAB SECTION [TAB KEY TAB VALUE]...
//                                      ok once every pair is written, in order
//   values TAB APP TAB SECTION         ok [TAB KEY TAB VALUE]..., or missing
//   list TAB APP                       ok [TAB SECTION TAB KEY TAB VALUE]... for every key below
//                                      APP, sections relative to APP; or missing
//   quit                               ok, then the bridge ends
//
// The end of its input ends the bridge too. Lists hold REG_SZ values only (the settings API
// writes no other type); get of a value of another type is an error.

#include "LineProtocol.h"
#include "WineText.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tevo::wine {
namespace {

constexpr const char* kProtocolVersion = "1";
constexpr size_t kMaxLine = 1 << 20;
const std::wstring kSettingsKey = L"Software\\VB and VBA Program Settings\\";

using Fields = std::vector<std::string>;

struct Reply
{
    Fields fields;
};

Reply ok(Fields fields = {})
{
    fields.insert(fields.begin(), "ok");
    return Reply{std::move(fields)};
}

Reply missing()
{
    return Reply{{"missing"}};
}

Reply error(const std::wstring& message)
{
    return Reply{{"error", toUtf8(message)}};
}

// An open registry key, closed when it goes out of scope.
class Key
{
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

std::wstring quoted(const std::wstring& text)
{
    return L"「" + text + L"」";
}

// The name of a registry part for messages: HKCU\...\APP[\SECTION].
std::wstring keyName(const std::wstring& app, const std::wstring& section = {})
{
    std::wstring name = L"HKEY_CURRENT_USER\\" + kSettingsKey + app;
    if (!section.empty())
        name += L"\\" + section;
    return name;
}

// Application names are one registry key; a section may be a path of keys, but never empty.
std::optional<std::wstring> checkNames(const std::wstring& app, const std::wstring* section,
                                       const std::wstring* key)
{
    if (app.empty() || app.find(L'\\') != std::wstring::npos)
        return L"應用程式名稱" + quoted(app) + L"不能是空的，也不能含有反斜線。";
    if (section && section->empty())
        return L"區段名稱不能是空的。";
    if (key && key->empty())
        return std::wstring(L"值的名稱不能是空的。");
    return std::nullopt;
}

Reply registryError(const std::wstring& what, const std::wstring& key, LSTATUS status)
{
    return error(what + quoted(key) + L"：" + errorText(static_cast<DWORD>(status)) +
                 L"。請確認 Wine 的環境（WINEPREFIX）可以使用。");
}

// The REG_SZ values of an open key, in the registry's order.
LSTATUS stringValues(HKEY key, std::vector<std::pair<std::wstring, std::wstring>>& values)
{
    DWORD maxName = 0;
    DWORD maxData = 0;
    LSTATUS status = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, &maxName, &maxData, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    for (DWORD index = 0;; ++index) {
        std::wstring name(maxName + 1, L'\0');
        std::vector<BYTE> data(maxData + sizeof(wchar_t));
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        status = ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(),
                                 &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (status == ERROR_MORE_DATA) {
            // Another program made a value longer since the sizes were asked: ask again.
            ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &maxName, &maxData, nullptr, nullptr);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS)
            return status;
        if (type != REG_SZ || nameLength == 0)
            continue;
        name.resize(nameLength);
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()),
                          dataSize / sizeof(wchar_t));
        // The stored text ends at its first NUL, as every reader of REG_SZ sees it.
        if (const size_t end = text.find(L'\0'); end != std::wstring::npos)
            text.resize(end);
        values.emplace_back(std::move(name), std::move(text));
    }
}

// Every REG_SZ value in `key` and the keys below it, with the section path relative to the
// starting key.
LSTATUS collect(HKEY key, const std::wstring& section, Fields& out)
{
    std::vector<std::pair<std::wstring, std::wstring>> values;
    if (LSTATUS status = stringValues(key, values); status != ERROR_SUCCESS)
        return status;
    for (const auto& [name, value] : values) {
        out.push_back(toUtf8(section));
        out.push_back(toUtf8(name));
        out.push_back(toUtf8(value));
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        LSTATUS status =
            ::RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (status != ERROR_SUCCESS)
            return status;
        const std::wstring child(name, nameLength);
        Key sub;
        status = ::RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, sub.out());
        if (status == ERROR_FILE_NOT_FOUND)
            continue; // deleted by another program in between
        if (status != ERROR_SUCCESS)
            return status;
        status = collect(sub.get(), section.empty() ? child : section + L"\\" + child, out);
        if (status != ERROR_SUCCESS)
            return status;
    }
}

// The root of the drive that holds `path`, the way Windows resolves "\FILE": "X:\" for a path
// on a drive letter, "\\server\share\" for a network path.
std::optional<std::wstring> driveRoot(const std::wstring& path, std::wstring& problem)
{
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        problem = errorText(::GetLastError());
        return std::nullopt;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(length);
    if (full.size() >= 2 && full[1] == L':')
        return full.substr(0, 2) + L"\\";
    if (full.rfind(L"\\\\", 0) == 0) {
        const size_t server = full.find(L'\\', 2);
        if (server != std::wstring::npos) {
            const size_t share = full.find(L'\\', server + 1);
            if (share == std::wstring::npos)
                return full + L"\\";
            return full.substr(0, share + 1);
        }
    }
    problem = L"路徑" + quoted(full) + L"不在任何磁碟機上";
    return std::nullopt;
}

class Bridge
{
public:
    Reply handle(const std::string& verb, const std::vector<std::wstring>& args);
    bool quitting() const { return m_quit; }

private:
    Reply hello() { return ok({"tevo-winebridge", kProtocolVersion}); }
    Reply currentFolder();
    Reply unixPath(const std::wstring& path);
    Reply windowsPath(const std::wstring& path);
    Reply root(const std::wstring& path);
    Reply serial(const std::wstring& path);
    Reply get(const std::vector<std::wstring>& args);
    Reply set(const std::vector<std::wstring>& args);
    Reply values(const std::vector<std::wstring>& args);
    Reply list(const std::vector<std::wstring>& args);

    WinePaths m_paths;
    bool m_quit = false;
};

Reply Bridge::handle(const std::string& verb, const std::vector<std::wstring>& args)
{
    struct Verb
    {
        size_t minArgs;
        bool pairs; // further arguments come in pairs, as many as given
        std::function<Reply(Bridge*, const std::vector<std::wstring>&)> run;
    };
    static const std::map<std::string, Verb> verbs = {
        {"hello", {0, false, [](Bridge* b, auto&) { return b->hello(); }}},
        {"cwd", {0, false, [](Bridge* b, auto&) { return b->currentFolder(); }}},
        {"unix", {1, false, [](Bridge* b, auto& a) { return b->unixPath(a[0]); }}},
        {"windows", {1, false, [](Bridge* b, auto& a) { return b->windowsPath(a[0]); }}},
        {"root", {1, false, [](Bridge* b, auto& a) { return b->root(a[0]); }}},
        {"serial", {1, false, [](Bridge* b, auto& a) { return b->serial(a[0]); }}},
        {"get", {3, false, [](Bridge* b, auto& a) { return b->get(a); }}},
        {"set", {2, true, [](Bridge* b, auto& a) { return b->set(a); }}},
        {"values", {2, false, [](Bridge* b, auto& a) { return b->values(a); }}},
        {"list", {1, false, [](Bridge* b, auto& a) { return b->list(a); }}},
        {"quit",
         {0, false,
          [](Bridge* b, auto&) {
              b->m_quit = true;
              return ok();
          }}},
    };
    const auto found = verbs.find(verb);
    if (found == verbs.end())
        return error(L"不認得的要求" + quoted(fromUtf8(verb).value_or(L"?")) +
                     L"。請確認程式的版本一致。");
    const Verb& v = found->second;
    const bool countOk = v.pairs ? args.size() >= v.minArgs && (args.size() - v.minArgs) % 2 == 0
                                 : args.size() == v.minArgs;
    if (!countOk)
        return error(L"要求" + quoted(fromUtf8(verb).value_or(L"?")) +
                     L"的欄位數目不對。請確認程式的版本一致。");
    return v.run(this, args);
}

Reply Bridge::currentFolder()
{
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, folder.data());
    if (needed == 0 || length == 0 || length >= needed)
        return error(L"無法取得 Windows 的目前資料夾：" + errorText(::GetLastError()) + L"。");
    folder.resize(length);
    return ok({toUtf8(folder)});
}

Reply Bridge::unixPath(const std::wstring& path)
{
    if (!m_paths.available())
        return error(L"這個程式必須在 Wine 中執行。");
    const std::optional<std::string> unixPath = m_paths.toUnix(path);
    if (!unixPath)
        return error(L"Windows 路徑" + quoted(path) +
                     L"在 Linux 上沒有對應的路徑：它的磁碟機代號"
                     L"可能沒有對應到資料夾（見 Wine 的 dosdevices）。");
    return ok({*unixPath});
}

Reply Bridge::windowsPath(const std::wstring& path)
{
    if (!m_paths.available())
        return error(L"這個程式必須在 Wine 中執行。");
    const std::optional<std::wstring> windowsPath = m_paths.toWindows(toUtf8(path));
    if (!windowsPath)
        return error(L"Linux 路徑" + quoted(path) + L"在 Windows 上沒有對應的路徑。");
    return ok({toUtf8(*windowsPath)});
}

Reply Bridge::root(const std::wstring& path)
{
    std::wstring problem;
    const std::optional<std::wstring> root = driveRoot(path, problem);
    if (!root)
        return error(L"無法取得" + quoted(path) + L"所在的磁碟機：" + problem + L"。");
    return ok({toUtf8(*root)});
}

Reply Bridge::serial(const std::wstring& path)
{
    std::wstring problem;
    const std::optional<std::wstring> root = driveRoot(path, problem);
    if (!root)
        return error(L"無法取得" + quoted(path) + L"所在的磁碟機：" + problem + L"。");
    DWORD serial = 0;
    if (!::GetVolumeInformationW(root->c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr,
                                 0)) {
        return error(L"無法取得磁碟機" + quoted(*root) + L"的序號：" + errorText(::GetLastError()) +
                     L"。");
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(serial));
    return ok({hex});
}

Reply Bridge::get(const std::vector<std::wstring>& args)
{
    const std::wstring& app = args[0];
    const std::wstring& section = args[1];
    const std::wstring& name = args[2];
    if (const auto problem = checkNames(app, &section, &name))
        return error(*problem);
    const std::wstring path = kSettingsKey + app + L"\\" + section;
    std::wstring value(64, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(),
                                              RRF_RT_REG_SZ, nullptr, value.data(), &size);
        if (status == ERROR_MORE_DATA) {
            value.resize(size / sizeof(wchar_t) + 1);
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND)
            return missing();
        if (status == ERROR_UNSUPPORTED_TYPE)
            return error(L"值" + quoted(name) + L"（" + keyName(app, section) +
                         L"）不是文字（REG_SZ），Tevo 不能讀取它。");
        if (status != ERROR_SUCCESS)
            return registryError(L"無法讀取", keyName(app, section), status);
        value.resize(size / sizeof(wchar_t));
        if (const size_t end = value.find(L'\0'); end != std::wstring::npos)
            value.resize(end);
        return ok({toUtf8(value)});
    }
}

Reply Bridge::set(const std::vector<std::wstring>& args)
{
    const std::wstring& app = args[0];
    const std::wstring& section = args[1];
    if (const auto problem = checkNames(app, &section, nullptr))
        return error(*problem);
    for (size_t i = 2; i < args.size(); i += 2) {
        if (const auto problem = checkNames(app, &section, &args[i]))
            return error(*problem);
    }
    Key key;
    const std::wstring path = kSettingsKey + app + L"\\" + section;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, key.out(), nullptr);
    if (status != ERROR_SUCCESS)
        return registryError(L"無法建立", keyName(app, section), status);
    for (size_t i = 2; i < args.size(); i += 2) {
        const std::wstring& value = args[i + 1];
        status = ::RegSetValueExW(key.get(), args[i].c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS)
            return registryError(L"無法寫入值" + quoted(args[i]) + L"到", keyName(app, section),
                                 status);
    }
    return ok();
}

Reply Bridge::values(const std::vector<std::wstring>& args)
{
    const std::wstring& app = args[0];
    const std::wstring& section = args[1];
    if (const auto problem = checkNames(app, &section, nullptr))
        return error(*problem);
    Key key;
    const std::wstring path = kSettingsKey + app + L"\\" + section;
    LSTATUS status =
        ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.out());
    if (status == ERROR_FILE_NOT_FOUND)
        return missing();
    if (status != ERROR_SUCCESS)
        return registryError(L"無法開啟", keyName(app, section), status);
    std::vector<std::pair<std::wstring, std::wstring>> values;
    if (status = stringValues(key.get(), values); status != ERROR_SUCCESS)
        return registryError(L"無法讀取", keyName(app, section), status);
    Fields fields;
    for (const auto& [name, value] : values) {
        fields.push_back(toUtf8(name));
        fields.push_back(toUtf8(value));
    }
    return ok(std::move(fields));
}

Reply Bridge::list(const std::vector<std::wstring>& args)
{
    const std::wstring& app = args[0];
    if (const auto problem = checkNames(app, nullptr, nullptr))
        return error(*problem);
    Key key;
    const std::wstring path = kSettingsKey + app;
    LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.out());
    if (status == ERROR_FILE_NOT_FOUND)
        return missing();
    if (status != ERROR_SUCCESS)
        return registryError(L"無法開啟", keyName(app), status);
    Fields fields;
    if (status = collect(key.get(), std::wstring(), fields); status != ERROR_SUCCESS)
        return registryError(L"無法讀取", keyName(app), status);
    return ok(std::move(fields));
}

bool writeAll(HANDLE output, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(output, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                         &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

Reply answer(Bridge& bridge, const std::string& line)
{
    const std::optional<Fields> fields = splitLine(line);
    if (!fields)
        return error(L"要求中有不認得的跳脫字元。請確認程式的版本一致。");
    std::vector<std::wstring> args;
    for (size_t i = 1; i < fields->size(); ++i) {
        std::optional<std::wstring> wide = fromUtf8((*fields)[i]);
        if (!wide)
            return error(L"要求中的文字不是有效的 UTF-8。");
        args.push_back(std::move(*wide));
    }
    return bridge.handle((*fields)[0], args);
}

int run()
{
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    Bridge bridge;
    std::string pending;
    bool overlong = false;
    char buffer[65536];
    for (;;) {
        DWORD received = 0;
        if (!::ReadFile(input, buffer, sizeof buffer, &received, nullptr) || received == 0)
            return 0; // end of input: the menu has gone
        pending.append(buffer, received);
        size_t start = 0;
        for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = pending.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const Reply reply =
                overlong ? error(L"要求太長（超過 1 MiB）。") : answer(bridge, line);
            overlong = false;
            // WriteFile has no buffer of its own: the reply is on its way once written.
            if (!writeAll(output, joinLine(reply.fields)))
                return 1;
            if (bridge.quitting())
                return 0;
        }
        pending.erase(0, start);
        if (pending.size() > kMaxLine) {
            // The rest of an overlong line is dropped up to its end, which gets one error reply.
            pending.clear();
            overlong = true;
        }
    }
}

} // namespace
} // namespace tevo::wine

int wmain()
{
    return tevo::wine::run();
}
