#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace runtime {

/// Reads a whole number the way the settings file and the pages write it:
/// leading blanks and tabs skipped, one optional "-" or "+", then "$" and
/// hexadecimal digits, "%" and binary digits, or decimal digits. Stops at the
/// first character that does not fit; no digits give 0. Digits that fit in
/// 64 bits give their two's-complement value; more give INT64_MAX (INT64_MIN
/// after a "-"). Any thread.
int64_t TextToInt(QStringView text);

} // namespace runtime
