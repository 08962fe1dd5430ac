#include "online/WebAddresses.h"

#include "core/NumericText.h"

namespace tevo {

namespace {

const QString kScheme = QStringLiteral("http://");

// The first character, a surrogate pair counting as one.
QString firstCharacter(const QString& text)
{
    if (text.isEmpty())
        return {};
    return text.left(text.front().isHighSurrogate() && text.size() > 1 ? 2 : 1);
}

} // namespace

QString queryValue(const QString& text)
{
    // Values travel as the vendor's pages expect them: trimmed, never escaped. The host and
    // path come before them, so no value can change which server is contacted.
    return trimSpaces(text);
}

QString versionFetchAddress(const QString& serviceHost)
{
    return kScheme + serviceHost + QStringLiteral("/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7");
}

QString noticeFetchAddress(const QString& serviceHost, const QString& customerCode)
{
    return kScheme + serviceHost + QStringLiteral("/廣告資料/WE_OUT.ASP?VWX1=") +
           queryValue(firstCharacter(trimSpaces(customerCode)));
}

QString setupProgramAddress(const QString& downloadHost)
{
    return kScheme + downloadHost + QStringLiteral("/TEVO_WEB/UP_EXE/1/GARVO_WIN7.EXE");
}

QString licensingSiteAddress(const QString& licensingHost)
{
    return kScheme + licensingHost + u'/';
}

const char* identityShortcutPath(const QString& entryName)
{
    // Exactly as the vendor addresses its pages: the first query has no "&" before VWX1=R.
    if (entryName == u"bbvg")
        return "/11v/index.ASP?RVG2C=1VWX1=R&YHY=";
    if (entryName == u"trvzn")
        return "/STANDARD/TVRVRE_A.ASP?RVG2C=1&VW2A=R&YHY=";
    return nullptr;
}

QString identityShortcutAddress(const QString& serviceHost, const char* pathAndQuery,
                                const QString& customerCode, const QString& systemNumber)
{
    return kScheme + serviceHost + QString::fromUtf8(pathAndQuery) + queryValue(customerCode) +
           QStringLiteral("&DC2A=") + queryValue(systemNumber);
}

} // namespace tevo
