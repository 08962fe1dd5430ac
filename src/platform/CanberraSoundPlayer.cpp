#include "platform/CanberraSoundPlayer.h"

#include <QCoreApplication>

#include <dlfcn.h>

namespace tevo {

namespace {

template <typename Function> bool resolve(void* handle, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(handle, name));
    return function != nullptr;
}

QString cannotUse(const char* file, const QString& why)
{
    return QStringLiteral("無法載入音效程式庫 %1（%2）。請安裝 libcanberra0 套件。")
        .arg(QString::fromUtf8(file), why);
}

} // namespace

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    if (m_context)
        m_destroy(m_context);
}

bool CanberraSoundPlayer::load()
{
    if (m_tried)
        return m_context != nullptr;
    m_tried = true;
    // Local: the library's symbols do not take part in resolving anyone else's.
    void* handle = ::dlopen(m_file, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        m_error = cannotUse(m_file, QString::fromLocal8Bit(why ? why : "dlopen"));
        return false;
    }
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    if (!resolve(handle, "ca_context_create", create) ||
        !resolve(handle, "ca_context_change_props", changeProps) ||
        !resolve(handle, "ca_context_destroy", m_destroy) ||
        !resolve(handle, "ca_context_play", m_play) ||
        !resolve(handle, "ca_strerror", m_strerror)) {
        m_error = cannotUse(m_file, QStringLiteral("不是可用的 libcanberra"));
        return false;
    }
    if (const int code = create(&m_context); code != CA_SUCCESS) {
        m_context = nullptr;
        m_error = cannotUse(m_file, QString::fromUtf8(m_strerror(code)));
        return false;
    }
    // The sound server shows the program by this name; failing to set it changes nothing else.
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    changeProps(m_context, CA_PROP_APPLICATION_NAME, name.constData(),
                static_cast<const char*>(nullptr));
    return true;
}

Status CanberraSoundPlayer::play(const QString& eventId)
{
    if (!load())
        return Status::error(m_error);
    const QByteArray id = eventId.toUtf8();
    // Asynchronous: returns once the sound is on its way. The sound stays cached for the next
    // time.
    const int code =
        m_play(m_context, 0, CA_PROP_EVENT_ID, id.constData(), CA_PROP_CANBERRA_CACHE_CONTROL,
               "permanent", static_cast<const char*>(nullptr));
    if (code != CA_SUCCESS) {
        return Status::error(QStringLiteral("無法播放音效「%1」：%2")
                                 .arg(eventId, QString::fromUtf8(m_strerror(code))));
    }
    return Status::ok();
}

} // namespace tevo
