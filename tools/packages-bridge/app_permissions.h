#pragma once

#include <QString>
#include <QStringList>

namespace packagesbridge {

// What an update would let an application do that it cannot do now, read
// from the metadata flatpak keeps for the installed and the offered build.
// Pure.

/// The permissions `offered` grants beyond `installed`, both the text of a
/// flatpak metadata file, one line per kind: "filesystems: home; xdg-download",
/// "sockets: x11", "session bus: org.example.Service (talk)" and so on. Empty
/// when the update asks for nothing new.
QStringList NewPermissions(const QString& installed, const QString& offered);

} // namespace packagesbridge
