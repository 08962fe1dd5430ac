#include "online/CurlLibrary.h"

#include <dlfcn.h>

namespace tevo {

namespace {

QString cannotUse(const char* file, const QString& why)
{
    return QStringLiteral("無法載入網路程式庫 %1（%2）。請安裝 libcurl4 套件，或請系統管理員協助。")
        .arg(QString::fromUtf8(file), why);
}

template <typename Function> bool resolve(void* handle, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(handle, name));
    return function != nullptr;
}

} // namespace

const CurlLibrary& CurlLibrary::process()
{
    static const CurlLibrary library(kFileName);
    return library;
}

CurlLibrary::CurlLibrary(const char* file)
{
    // Local: the library's symbols do not take part in resolving anyone else's.
    void* handle = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        m_error = cannotUse(file, QString::fromLocal8Bit(why ? why : "dlopen"));
        return;
    }
    decltype(&curl_global_init) globalInit = nullptr;
    if (!resolve(handle, "curl_global_init", globalInit) ||
        !resolve(handle, "curl_easy_init", easyInit) ||
        !resolve(handle, "curl_easy_cleanup", easyCleanup) ||
        !resolve(handle, "curl_easy_setopt", easySetopt) ||
        !resolve(handle, "curl_easy_perform", easyPerform) ||
        !resolve(handle, "curl_easy_getinfo", easyGetinfo) ||
        !resolve(handle, "curl_easy_strerror", easyStrerror)) {
        m_error = cannotUse(file, QStringLiteral("不是可用的 libcurl"));
        return;
    }
    // Once per process, before the first handle is made; a failure is kept and reported by
    // every request.
    m_initCode = globalInit(CURL_GLOBAL_DEFAULT);
}

} // namespace tevo
