#pragma once

#include "runtime/text_positions.h"
#include "runtime/text_to_int.h"

#include <QString>

#include <cstdint>

namespace testsupport {

/// The tag and entity passes of the page clean-up written the slow, obvious
/// way: find the first match in the whole text again after every cut. The
/// real passes walk the text once; this says what they must agree with.
/// Shared by the clean-up tests and its fuzz target.
inline QString SlowStripTags(QString text)
{
    using runtime::Find;
    using runtime::From;
    using runtime::Left;
    while (true) {
        const qsizetype b = Find(text, QStringLiteral("<"));
        if (b == 0)
            break;
        const qsizetype e = Find(text, QStringLiteral(">"), b + 1);
        if (e == 0)
            break;
        text = Left(text, b - 1) + From(text, e + 1);
    }
    while (true) {
        const qsizetype b = Find(text, QStringLiteral("&#"));
        if (b == 0)
            break;
        const qsizetype e = Find(text, QStringLiteral(";"), b + 2);
        if (e == 0)
            break;
        const int64_t v = runtime::TextToInt(QStringView(text).mid(b + 1, e - b - 1));
        const char16_t unit = static_cast<char16_t>(static_cast<uint64_t>(v) & 0xFFFFu);
        text = Left(text, b - 1) + (unit ? QString(QChar(unit)) : QString()) + From(text, e + 1);
    }
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    return text;
}

} // namespace testsupport
