#pragma once

#include <QString>
#include <QStringList>

namespace packagesbridge {

/// What the program asked of the bridge.
struct Command
{
    enum class Kind { Usage, List, UpgradeById, UpgradeByName };
    Kind kind = Kind::Usage;
    QString target; ///< the identifier or the name to upgrade
};

/// Reads the words after the bridge's own name:
///   list
///   upgrade --id ID [OPTION...]
///   upgrade NAME [OPTION...]
/// where an OPTION is one of the program's upgrade options, accepted anywhere
/// after the command and without effect. Anything else, an empty ID or NAME,
/// or an option where the NAME belongs, is Usage. Pure.
Command ParseCommand(const QStringList& words);

/// The line printed on standard error for Usage.
QString UsageLine();

} // namespace packagesbridge
