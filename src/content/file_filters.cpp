#include "content/file_filters.h"

#include "runtime/app_identity.h"

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

QString FoldCase(const QString& text)
{
    QString folded = text;
    // Unit by unit keeps positions aligned with the original text; a name
    // that is plain ASCII (nearly all of them) skips the table look-up.
    char16_t* units = reinterpret_cast<char16_t*>(folded.data());
    const qsizetype n = folded.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = units[i];
        if (u < 0x80) {
            if (u >= u'A' && u <= u'Z')
                units[i] = static_cast<char16_t>(u + (u'a' - u'A'));
        } else {
            units[i] = QChar::toLower(u);
        }
    }
    return folded;
}

bool FilterMatches(const QString& name, const QString& description, const QString& filterText)
{
    if (filterText.isEmpty())
        return true;
    const QString needle = FoldCase(filterText);
    return FoldCase(name).contains(needle) || FoldCase(description).contains(needle);
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
    QList<qsizetype> hits;
    if (alertWords.isEmpty())
        return hits;
    const QString folded = FoldCase(name);
    for (qsizetype k = 0; k < alertWords.size(); ++k) {
        const QString& word = alertWords[k];
        if (!word.isEmpty() && folded.contains(word))
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

ListSummary SummariseList(int tab, qsizetype rowCount, const QString& filterText, const QString& platform)
{
    ListSummary summary;
    if (tab != 0 && tab != 1) {
        summary.filterAppliesToApps = true;
        summary.filterBoxWidth = 300;
        summary.platformComboShown = false;
        summary.statusText = runtime::ReadyText;
        return summary;
    }
    const QString count = QString::number(rowCount);
    if (!filterText.isEmpty()) {
        summary.statusText = QStringLiteral("Number of matching files from filter: ") + count;
        return summary;
    }
    const QString day = tab == 0 ? QStringLiteral("today's") : QStringLiteral("yesterday's");
    const QString which = platform == u"All" ? QString() : QStringLiteral(" ") + platform;
    summary.statusText =
        QStringLiteral("Showing ") + day + which + QStringLiteral(" files (") + count + QStringLiteral(").");
    return summary;
}

ScrapeOutcomeResult DecideScrapeOutcome(qsizetype todayRowCount, const QString& filterText, const QString& platform)
{
    if (todayRowCount > 0)
        return {ScrapeOutcome::HasRows, runtime::HintText};
    if (!filterText.isEmpty())
        return {ScrapeOutcome::NoFilterMatch, NoFilterMatchText};
    if (platform == u"All")
        return {ScrapeOutcome::NoContent, runtime::NoContentText};
    return {ScrapeOutcome::NoPlatformMatch, NoFilterMatchText};
}

QString PlatformForComboIndex(int index, const QString& current)
{
    switch (index) {
    case 0:
        return QStringLiteral("All");
    case 1:
        return QStringLiteral("Windows");
    case 2:
        return QStringLiteral("Linux");
    case 3:
        return QStringLiteral("MacOS");
    case 4:
        return QStringLiteral("Android");
    default:
        return current;
    }
}

QString PlatformTooltip(const QString& platform)
{
    return QStringLiteral("Showing files supported by ") +
           (platform == u"All" ? QStringLiteral("all platforms") : platform);
}

} // namespace content
