#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

namespace content {

// Which files of the day lists are shown, how their names are written, and
// which of them raise a name alert. All pure; any thread.

/// The four platforms a file entry can carry an icon for, in column order.
enum class Platform {
    Windows,
    Linux,
    Apple,
    Android,
};

/// True when an entry carrying `present` passes the `platform` setting
/// ("All", "Windows", "Linux", "MacOS" or "Android"; anything else passes
/// nothing). The Apple icon answers to "MacOS".
bool PlatformMatches(Platform present, const QString& platform);

/// `text` with every UTF-16 unit folded to lower case on its own, so the
/// length and the positions stay the same.
QString FoldCase(const QString& text);

/// FoldCase of `text` written into `out`, reusing its buffer: no allocation
/// once `out` has grown to the longest text folded.
void FoldCaseInto(QStringView text, QString& out);

/// True when `filterText` is empty, or occurs in `name` or else in
/// `description`, letter case aside. The filter is used as typed.
bool FilterMatches(const QString& name, const QString& description, const QString& filterText);

/// FilterMatches for a scan that tests many entries: `foldedFilter` is
/// FoldCase of the filter text, `scratch` a buffer kept between calls.
bool FilterMatchesFolded(QStringView name, QStringView description, const QString& foldedFilter, QString& scratch);

/// `name` without version: every " Build" (any case) that is not the start
/// of a longer word removed, then cut just before the first space that is
/// followed by an ASCII digit. Not trimmed.
QString StripVersion(const QString& name);

/// The alert words of the `Alert_Names` setting, one per comma-separated
/// piece kept as it stands (spaces included), already case-folded. Empty when
/// the setting is empty. An empty piece stays in the list and matches nothing.
QStringList AlertWords(const QString& alertNames);

/// Indices (0-based, ascending) of the `alertWords` that occur in `name`,
/// letter case aside; one entry per word, so two words give two hits.
/// `alertWords` comes from AlertWords.
QList<qsizetype> MatchAlerts(const QString& name, const QStringList& alertWords);

/// MatchAlerts with `scratch`, a buffer kept between calls.
QList<qsizetype> MatchAlerts(QStringView name, const QStringList& alertWords, QString& scratch);

inline const QString AlertPopupTitle = QStringLiteral("Zorvane Update Alerts");

/// Text of the name-alert pop-up listing `alertLog` (one name and a line feed
/// per hit); the log's trailing line feeds are dropped.
QString AlertPopupText(const QString& alertLog);

/// What the end of a fetching refresh does about name alerts.
struct AlertPopupDecision
{
    bool markShown = false; ///< set `AlertPopupShown` to 1
    bool showBox = false;   ///< show the information box with the pop-up text
};

/// Decides the pop-up from the `AlertPopupShown` flag, the scan's alert log
/// and the `Alert_Popup` setting.
AlertPopupDecision DecideAlertPopup(bool alreadyShown, const QString& alertLog, int64_t alertPopupSetting);

} // namespace content
