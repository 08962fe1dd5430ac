#include "online/FetchConvention.h"

#include "core/NumericText.h"

namespace tevo {

std::optional<QString> valueAfterTag(const QString& reply, const QString& tag)
{
    const QString trimmed = trimSpaces(reply);
    if (!trimmed.startsWith(tag, Qt::CaseSensitive))
        return std::nullopt;
    return trimmed.mid(tag.size());
}

QString transferErrorText(const FetchResult& failure)
{
    return QString::number(failure.status().code()) + u':' + failure.error();
}

} // namespace tevo
