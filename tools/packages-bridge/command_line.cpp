#include "command_line.h"

namespace packagesbridge {

namespace {

// The program passes these to every upgrade. Flatpak has no agreements to
// accept and lists applications without a version anyway, so they change
// nothing here; they are known so that their presence is no error.
bool IsKnownOption(const QString& word)
{
    return word == QLatin1String("--accept-package-agreements") ||
           word == QLatin1String("--accept-source-agreements") || word == QLatin1String("--include-unknown");
}

bool OnlyOptionsFrom(const QStringList& words, qsizetype first)
{
    for (qsizetype i = first; i < words.size(); ++i) {
        if (!IsKnownOption(words[i]))
            return false;
    }
    return true;
}

} // namespace

Command ParseCommand(const QStringList& words)
{
    if (words.isEmpty())
        return {};
    if (words[0] == QLatin1String("list"))
        return OnlyOptionsFrom(words, 1) ? Command{Command::Kind::List, {}} : Command{};
    if (words[0] != QLatin1String("upgrade") || words.size() < 2)
        return {};
    if (words[1] == QLatin1String("--id")) {
        if (words.size() < 3 || words[2].isEmpty() || !OnlyOptionsFrom(words, 3))
            return {};
        return {Command::Kind::UpgradeById, words[2]};
    }
    if (words[1].isEmpty() || IsKnownOption(words[1]) || !OnlyOptionsFrom(words, 2))
        return {};
    return {Command::Kind::UpgradeByName, words[1]};
}

QString UsageLine()
{
    return QStringLiteral("usage: zorvane-packages list | zorvane-packages upgrade (--id ID | NAME) "
                          "[--accept-package-agreements] [--accept-source-agreements] [--include-unknown]");
}

} // namespace packagesbridge
