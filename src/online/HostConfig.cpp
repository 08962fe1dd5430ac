#include "online/HostConfig.h"

#include "Version.h"
#include "core/SuiteIni.h"
#include "platform/ProfileFiles.h"
#include "platform/WorkingDirectory.h"

#include <QList>

namespace tevo {

namespace {

bool isAsciiLetterOrDigit(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// Labels of letters, digits and inner hyphens, separated by single dots (a trailing dot is
// allowed, as in DNS).
bool isHostName(QStringView name)
{
    if (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty() || name.size() > 253)
        return false;
    for (QStringView label : name.split(u'.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (QChar c : label) {
            if (!isAsciiLetterOrDigit(c) && c != u'-')
                return false;
        }
    }
    return true;
}

bool isBracketedIpv6(QStringView text)
{
    if (text.size() < 4 || !text.startsWith(u'[') || !text.endsWith(u']'))
        return false;
    int colons = 0;
    for (QChar c : text.mid(1, text.size() - 2)) {
        const bool hexDigit =
            (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (c == u':')
            ++colons;
        else if (!hexDigit && c != u'.')
            return false;
    }
    return colons >= 2;
}

bool isPort(QStringView text)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    const int port = text.toInt();
    return port >= 1 && port <= 65535;
}

QString configuredHost(ProfileFiles& profiles, const QString& file, const QString& key,
                       const char* fallback)
{
    const QString value = profiles.readString(file, QStringLiteral("Online"), key).trimmed();
    return isPlainHost(value) ? value : QString::fromUtf8(fallback);
}

} // namespace

bool isPlainHost(const QString& text)
{
    QStringView host(text);
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        if (close < 0)
            return false;
        const QStringView rest = host.mid(close + 1);
        if (!rest.isEmpty() && !(rest.startsWith(u':') && isPort(rest.mid(1))))
            return false;
        return isBracketedIpv6(host.left(close + 1));
    }
    const qsizetype colon = host.indexOf(u':');
    if (colon >= 0) {
        if (!isPort(host.mid(colon + 1)))
            return false;
        host = host.left(colon);
    }
    return isHostName(host);
}

HostConfig HostConfig::defaults()
{
    return {QString::fromUtf8(version::kServiceHost), QString::fromUtf8(version::kDownloadHost),
            QString::fromUtf8(version::kLicensingHost)};
}

HostConfig HostConfig::load(ProfileFiles& profiles, const WorkingDirectory& workingDirectory)
{
    const Result<QString> file = suiteIniPath(workingDirectory);
    if (!file)
        return defaults();
    return {configuredHost(profiles, file.value(), QStringLiteral("ServiceHost"),
                           version::kServiceHost),
            configuredHost(profiles, file.value(), QStringLiteral("DownloadHost"),
                           version::kDownloadHost),
            configuredHost(profiles, file.value(), QStringLiteral("LicensingHost"),
                           version::kLicensingHost)};
}

} // namespace tevo
