#include "content/file_filters.h"

#include "runtime/text_search.h"

#include <QChar>
#include <QStringView>

namespace content {

bool PlatformMatches(Platform present, const QString& platform)
{
    if (platform == u"All")
        return true;
    switch (present) {
    case Platform::Windows:
        return platform == u"Windows";
    case Platform::Linux:
        return platform == u"Linux";
    case Platform::Apple:
        return platform == u"MacOS";
    case Platform::Android:
        return platform == u"Android";
    }
    return false;
}

namespace {

char16_t FoldAscii(char16_t c)
{
    return static_cast<char16_t>(c + ((c >= u'A' && c <= u'Z') ? (u'a' - u'A') : 0));
}

char16_t FoldUnit(char16_t c)
{
    return c < 0x80 ? FoldAscii(c) : QChar::toLower(c);
}

} // namespace

void FoldCaseInto(QStringView text, QString& out)
{
    const char16_t* in = text.utf16();
    const qsizetype n = text.size();
    out.resize(n);
    char16_t* to = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < n; ++i)
        to[i] = FoldUnit(in[i]);
}

QString FoldCase(const QString& text)
{
    QString folded;
    FoldCaseInto(text, folded);
    return folded;
}

bool FilterMatches(const QString& name, const QString& description, const QString& filterText)
{
    if (filterText.isEmpty())
        return true;
    QString scratch;
    return FilterMatchesFolded(name, description, FoldCase(filterText), scratch);
}

bool FilterMatchesFolded(QStringView name, QStringView description, const QString& foldedFilter, QString& scratch)
{
    if (foldedFilter.isEmpty())
        return true;
    FoldCaseInto(name, scratch);
    if (runtime::Contains(scratch, foldedFilter))
        return true;
    FoldCaseInto(description, scratch);
    return runtime::Contains(scratch, foldedFilter);
}

QString StripVersion(const QString& name)
{
    // " Build" goes only as a word of its own: removing it inside "Builder"
    // would turn "Site Builder 3" into "Siteer".
    static const QString build = QStringLiteral(" Build");
    QString s;
    s.reserve(name.size());
    qsizetype done = 0;
    qsizetype hit = name.indexOf(build, 0, Qt::CaseInsensitive);
    while (hit >= 0) {
        const qsizetype after = hit + build.size();
        if (after >= name.size() || !name[after].isLetter()) {
            s.append(QStringView(name).mid(done, hit - done));
            done = after;
        }
        hit = name.indexOf(build, after, Qt::CaseInsensitive);
    }
    s.append(QStringView(name).mid(done));
    // Cutting at " 0", then " 1", ... " 9" leaves the text up to the first
    // space that is followed by any digit; one walk finds that space.
    const qsizetype n = s.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (s[i] == u' ' && s[i + 1] >= u'0' && s[i + 1] <= u'9') {
            s.truncate(i);
            break;
        }
    }
    return s;
}

QStringList AlertWords(const QString& alertNames)
{
    if (alertNames.isEmpty())
        return {};
    return FoldCase(alertNames).split(u',', Qt::KeepEmptyParts);
}

QList<qsizetype> MatchAlerts(const QString& name, const QStringList& alertWords)
{
    QString scratch;
    return MatchAlerts(name, alertWords, scratch);
}

QList<qsizetype> MatchAlerts(QStringView name, const QStringList& alertWords, QString& scratch)
{
    QList<qsizetype> hits;
    if (alertWords.isEmpty())
        return hits;
    FoldCaseInto(name, scratch);
    for (qsizetype k = 0; k < alertWords.size(); ++k) {
        const QString& word = alertWords[k];
        if (!word.isEmpty() && runtime::Contains(scratch, word))
            hits.append(k);
    }
    return hits;
}

QString AlertPopupText(const QString& alertLog)
{
    QString names = alertLog;
    while (names.endsWith(u'\n'))
        names.chop(1);
    return QStringLiteral("These files were updated today:\n\n") + names +
           QStringLiteral("\n\nYou can edit your alerts in Settings.");
}

AlertPopupDecision DecideAlertPopup(bool alreadyShown, const QString& alertLog, int64_t alertPopupSetting)
{
    AlertPopupDecision decision;
    if (alreadyShown || alertLog.isEmpty())
        return decision;
    // The flag is set even when the pop-up is switched off, so turning it on
    // later does not bring up an old alert.
    decision.markShown = true;
    decision.showBox = alertPopupSetting == 1;
    return decision;
}

} // namespace content
