#include "platform/CanberraSoundPlayer.h"

#include "platform/SharedLibrary.h"

#include <QCoreApplication>

namespace tevo {

namespace {

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

Status CanberraSoundPlayer::load()
{
    if (!m_loaded)
        m_loaded = tryLoad();
    return *m_loaded;
}

Status CanberraSoundPlayer::tryLoad()
{
    const Result<void*> opened = SharedLibrary::open(m_file);
    if (!opened)
        return Status::error(cannotUse(m_file, opened.error()));
    void* handle = opened.value();
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    if (!SharedLibrary::resolve(handle, "ca_context_create", create) ||
        !SharedLibrary::resolve(handle, "ca_context_change_props", changeProps) ||
        !SharedLibrary::resolve(handle, "ca_context_destroy", m_destroy) ||
        !SharedLibrary::resolve(handle, "ca_context_play", m_play) ||
        !SharedLibrary::resolve(handle, "ca_strerror", m_strerror)) {
        return Status::error(cannotUse(m_file, QStringLiteral("不是可用的 libcanberra")));
    }
    if (const int code = create(&m_context); code != CA_SUCCESS) {
        m_context = nullptr;
        return Status::error(cannotUse(m_file, QString::fromUtf8(m_strerror(code))));
    }
    // The sound server shows the program by this name; failing to set it changes nothing else.
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    changeProps(m_context, CA_PROP_APPLICATION_NAME, name.constData(),
                static_cast<const char*>(nullptr));
    return Status::ok();
}

Status CanberraSoundPlayer::play(const QString& eventId)
{
    if (Status loaded = load(); !loaded)
        return loaded;
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
