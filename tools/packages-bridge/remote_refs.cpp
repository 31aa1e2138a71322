#include "remote_refs.h"

#include "runtime/wildcard.h"

#include <QStringView>

#include <algorithm>

namespace packagesbridge {

QString RemoteRefsColumns()
{
    return QStringLiteral("ref:f,commit:f,version:f,options:f");
}

QHash<QString, RemoteRef> ParseRemoteRefs(const QString& output)
{
    // flatpak joins the options with commas; the end-of-life reason is free
    // text that may hold commas of its own, while the replacement is a
    // reference, which cannot.
    const QString eol = QStringLiteral("eol=");
    const QString rebase = QStringLiteral("eol-rebase=");
    QHash<QString, RemoteRef> refs;
    for (const QString& line : output.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 2 || fields[0].count(u'/') != 3 || fields[1].isEmpty())
            continue;
        RemoteRef ref;
        ref.commit = fields[1];
        ref.version = fields.value(2);
        QString options = fields.mid(3).join(u'\t');
        const qsizetype rebaseAt = options.lastIndexOf(rebase);
        if (rebaseAt >= 0 && (rebaseAt == 0 || options[rebaseAt - 1] == u',')) {
            ref.endOfLifeRebase = options.mid(rebaseAt + rebase.size()).section(u',', 0, 0);
            options.truncate(rebaseAt > 0 ? rebaseAt - 1 : 0);
        }
        const qsizetype eolAt = options.indexOf(eol);
        if (eolAt >= 0 && (eolAt == 0 || options[eolAt - 1] == u','))
            ref.endOfLife = options.mid(eolAt + eol.size());
        else if (!ref.endOfLifeRebase.isEmpty())
            ref.endOfLife = QStringLiteral("replaced by ") + ref.endOfLifeRebase;
        refs.insert(fields[0], ref);
    }
    return refs;
}

bool SameCommit(const QString& installed, const QString& offered)
{
    const qsizetype length = std::min(installed.size(), offered.size());
    return length > 0 && QStringView(installed).left(length) == QStringView(offered).left(length);
}

QStringList ParseMasks(const QString& output)
{
    QStringList patterns;
    for (const QString& line : output.split(u'\n', Qt::SkipEmptyParts)) {
        const QString pattern = line.trimmed();
        if (!pattern.isEmpty())
            patterns << pattern;
    }
    return patterns;
}

bool IsMasked(const QStringList& patterns, const QString& ref)
{
    const QStringList parts = ref.split(u'/');
    if (parts.size() != 4)
        return false;
    for (const QString& pattern : patterns) {
        const QStringList wanted = pattern.split(u'/');
        if (wanted.size() > 3)
            continue;
        bool matches = true;
        for (qsizetype i = 0; i < wanted.size() && matches; ++i)
            matches = wanted[i].isEmpty() || runtime::WildcardMatches(parts[i + 1], wanted[i]);
        if (matches)
            return true;
    }
    return false;
}

} // namespace packagesbridge
