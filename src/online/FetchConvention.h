#pragma once

#include "platform/HttpFetcher.h"

#include <QString>

#include <optional>

namespace tevo {

// How a reply of the vendor service server is read: the reply is trimmed of spaces, its first
// characters must equal `tag` exactly (letter case significant), and the value is the rest of the
// trimmed reply, not trimmed again ("VW11: 1.2" gives " 1.2"). std::nullopt when the tag is not
// there, which includes an empty reply and an error page; that is not a failure.
std::optional<QString> valueAfterTag(const QString& reply, const QString& tag);

// A transfer failure as the user sees it: the number in decimal, ":", the description, with no
// spaces around the colon ("28:Timeout was reached").
QString transferErrorText(const FetchResult& failure);

} // namespace tevo
