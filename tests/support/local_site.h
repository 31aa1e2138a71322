#pragma once

#include <QString>

namespace testsupport {

/// A port on 127.0.0.1 that refuses every connection: bound for the life of
/// the test process and never listened on, so nothing else can take it.
int ClosedLocalPort();

/// "http://127.0.0.1:<ClosedLocalPort()>".
QString ClosedLocalSiteUrl();

/// Points the program's site address (ZORVANE_SITE_URL) at the closed local
/// port, for this process and the programs it starts. Every test main calls
/// it first, so a test that forgets to choose a server of its own fails at
/// once instead of reaching the real site.
void PointSiteAtClosedLocalPort();

} // namespace testsupport
