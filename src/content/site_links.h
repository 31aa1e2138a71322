#pragma once

#include <QString>

namespace content {

/// `baseUrl` + `value` when the address that gives lies on the base's own
/// site (same scheme, host and port); empty otherwise, so that a page value
/// such as "@elsewhere.example/x" cannot lead off the site. Pure.
QString JoinOnSite(const QString& baseUrl, const QString& value);

} // namespace content
