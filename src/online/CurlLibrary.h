#pragma once

#include "platform/Result.h"

#include <QString>

#include <curl/curl.h>

namespace tevo {

// libcurl, loaded by the first request rather than linked. Linked, it and the two dozen
// libraries it needs (TLS, Kerberos, LDAP, SSH, IDN) are loaded and relocated at every start of
// the menu, about a tenth of its start-up time, while most sessions make no request at all.
//
// A loaded library stays loaded for the life of the process.
class CurlLibrary
{
public:
    // The versioned name of libcurl 7 and 8 (Debian's libcurl4), which the dynamic linker finds.
    static constexpr const char* kFileName = "libcurl.so.4";

    // The process's libcurl: loaded and set up (curl_global_init) by the first call, from any
    // thread; later calls return the same object. Check isLoaded() before use.
    static const CurlLibrary& process();

    // Loads `file` and sets it up. Used by process(); tests load other names.
    explicit CurlLibrary(const char* file);
    CurlLibrary(const CurlLibrary&) = delete;
    CurlLibrary& operator=(const CurlLibrary&) = delete;

    // Ok when every function below is there; otherwise why the library cannot be loaded, in
    // words a workshop user can act on.
    const Status& status() const { return m_loaded; }
    bool isLoaded() const { return m_loaded.isOk(); }
    // The message of status(); empty when loaded.
    const QString& error() const { return m_loaded.message(); }
    // What curl_global_init returned when the library was loaded.
    CURLcode initCode() const { return m_initCode; }

    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_perform) easyPerform = nullptr;
    decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&curl_easy_strerror) easyStrerror = nullptr;

private:
    Status m_loaded = Status::ok();
    CURLcode m_initCode = CURLE_FAILED_INIT;
};

} // namespace tevo
