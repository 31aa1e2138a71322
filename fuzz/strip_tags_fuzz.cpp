// Feeds arbitrary text to the page clean-up. StripTags walks the text once;
// on inputs small enough, its result must equal the plain "find the first
// match again after every cut" form of the same passes. Larger inputs only
// have to finish.
#include "content/text_cleanup.h"

#include "support/slow_strip_tags.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

const char16_t* const Tokens[] = {u"&#", u"&amp;", u"&quot;", u"<br>", u"<br />", u"<b>", u"</b>", u"&#38;", u"&#35;"};
constexpr int TokenCount = sizeof(Tokens) / sizeof(Tokens[0]);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Odd first byte: the rest is raw UTF-16 (any unit, surrogates and zero
    // included). Even: bytes as Latin-1 with low control bytes as tokens.
    if (size == 0)
        return 0;
    QString text;
    if (data[0] & 1) {
        for (size_t i = 1; i + 1 < size; i += 2)
            text.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    } else {
        for (size_t i = 1; i < size; ++i) {
            if (data[i] < TokenCount)
                text.append(QString::fromUtf16(Tokens[data[i]]));
            else
                text.append(QChar(data[i]));
        }
    }

    const QString stripped = content::StripTags(text);
    if (text.size() <= 2048 && stripped != testsupport::SlowStripTags(text))
        std::abort();
    if (stripped.size() > text.size())
        std::abort();

    const QString cleaned = content::CleanLine(text);
    if (cleaned.size() > text.size() || cleaned.endsWith(u' '))
        std::abort();

    const qsizetype half = text.size() / 2;
    const QString between = content::ExtractBetween(text, text.mid(half, 1), text.mid(half + 1, 2));
    if (between.size() > text.size())
        std::abort();
    return 0;
}
