#pragma once

#include "framework/fileio.h"

#include <QList>
#include <QString>

#include <atomic>

namespace fw {

// One unsaved text kept for recovery: what a window held and what it was showing.
struct RecoveryEntry {
    QString id;          // the entry's name in its store; given by the store
    QString kind;        // the kind of window (its template's document name)
    QString path;        // the window's file; empty for a window that was never saved
    QString title;       // the window's title, which names a window without a file
    FileStamp diskStamp; // the version of the file the window read or last wrote
    QString text;        // the window's whole text
};

// The recovery copies of the unsaved texts of one running Tarvo, kept in a session folder of
// its own under a private per-user root: each entry is one file, written whole through a
// temporary file so that a crash leaves either the old copy or the new one.
//
// A session folder belongs to the process that holds the lock on its "owner" file (which also
// names its process id). The lock is the kernel's, so it is let go whenever the process ends, a
// crash or a kill included; a later start takes only the entries of sessions whose lock it can
// get, and never those of a Tarvo that is still running. A store ending normally removes its
// folder: its windows have been saved or closed by then.
//
// GUI-free: the writes come from a worker thread. write() and remove() of different entries
// and newEntryId() may run at the same time on different threads.
class RecoveryStore {
public:
    // Opens a new session under root, a private folder of this user. isOpen() is false when
    // none could be made; the store then keeps nothing.
    explicit RecoveryStore(const QString &root);
    ~RecoveryStore();

    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    bool isOpen() const { return m_lockHandle >= 0; }
    QString root() const { return m_root; }
    // This session's folder; empty when the store is not open.
    QString folder() const { return m_folder; }

    // A name for a new entry of this session.
    QString newEntryId();
    // Writes an entry (its id given by newEntryId) whole, replacing its last copy. False with
    // the system's reason when it cannot be written; the last copy is then left as it was.
    bool write(const RecoveryEntry &entry, QString *error = nullptr);
    // Removes an entry; one that does not exist is no error.
    void remove(const QString &id);
    // This session's entries in the order their ids were given.
    QList<RecoveryEntry> entries() const;

    // Moves the entries of every session whose owner has ended into this one, under new ids,
    // and removes those sessions. Entries that cannot be read stay where they are.
    QList<RecoveryEntry> claimAbandoned();

    // The bytes of an entry's file, and the entry read back from them (false when they are no
    // entry; the id is not part of the file).
    static QByteArray serialise(const RecoveryEntry &entry);
    static bool parse(const QByteArray &bytes, RecoveryEntry *entry);

private:
    QString entryPath(const QString &id) const;
    void claimSession(const QString &folder, QList<RecoveryEntry> *claimed);

    QString m_root;
    QString m_folder;
    int m_lockHandle = -1;
    std::atomic<int> m_nextId{1};
};

} // namespace fw
