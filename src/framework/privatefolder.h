#pragma once

#include <QString>
#include <QStringList>

// Per-user folders that only this user can have put anything in. What Tarvo keeps there (its
// compiled Java programs, the recovery copies of unsaved texts) is read back as the user's own,
// so a folder that someone else could write is never taken.
namespace fw {

// Makes (or takes) root/parts... as a chain of private folders: each part is made 0700 when
// missing and refused when it is a link, belongs to another user or can be written by others;
// root itself must be a folder of this user or of the system that others cannot write, or can
// write only under the sticky rule (a missing root is made 0700, as the XDG rules ask). The path
// made, or empty when a part is refused or cannot be made.
QString privateFolder(const QString &root, const QStringList &parts);

// The per-user state root: $XDG_STATE_HOME when it is an absolute path (a relative one is
// ignored, as the XDG rules say), else $HOME/.local/state.
QString stateRoot();

} // namespace fw
