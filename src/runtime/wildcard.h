#pragma once

#include <QStringView>

namespace runtime {

/// Whether `name` matches `pattern`, where "*" matches any run of characters
/// and "?" exactly one; nothing else is special. Iterative, so no pattern
/// makes it recurse. Pure, any thread.
bool WildcardMatches(QStringView name, QStringView pattern);

} // namespace runtime
