#include "online/CurlLibrary.h"

#include "platform/SharedLibrary.h"

namespace tevo {

namespace {

QString cannotUse(const char* file, const QString& why)
{
    return QStringLiteral("無法載入網路程式庫 %1（%2）。請安裝 libcurl4 套件，或請系統管理員協助。")
        .arg(QString::fromUtf8(file), why);
}

} // namespace

const CurlLibrary& CurlLibrary::process()
{
    static const CurlLibrary library(kFileName);
    return library;
}

CurlLibrary::CurlLibrary(const char* file)
{
    const Result<void*> opened = SharedLibrary::open(file);
    if (!opened) {
        m_loaded = Status::error(cannotUse(file, opened.error()));
        return;
    }
    void* handle = opened.value();
    decltype(&curl_global_init) globalInit = nullptr;
    if (!SharedLibrary::resolve(handle, "curl_global_init", globalInit) ||
        !SharedLibrary::resolve(handle, "curl_easy_init", easyInit) ||
        !SharedLibrary::resolve(handle, "curl_easy_cleanup", easyCleanup) ||
        !SharedLibrary::resolve(handle, "curl_easy_setopt", easySetopt) ||
        !SharedLibrary::resolve(handle, "curl_easy_perform", easyPerform) ||
        !SharedLibrary::resolve(handle, "curl_easy_getinfo", easyGetinfo) ||
        !SharedLibrary::resolve(handle, "curl_easy_strerror", easyStrerror)) {
        m_loaded = Status::error(cannotUse(file, QStringLiteral("不是可用的 libcurl")));
        return;
    }
    // Once per process, before the first handle is made; a failure is kept and reported by
    // every request.
    m_initCode = globalInit(CURL_GLOBAL_DEFAULT);
}

} // namespace tevo
