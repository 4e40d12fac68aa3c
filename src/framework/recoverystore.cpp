#include "framework/recoverystore.h"

#include "framework/privatefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace fw {

namespace {

const QString kOwnerFile = QStringLiteral("owner");
const QString kSessionPrefix = QStringLiteral("session-");
// A session folder is made under this prefix and renamed to its final name only once its owner
// holds the lock, so that no other start ever sees a session that is still being set up.
const QString kNewSessionPrefix = QStringLiteral(".new-");
const QString kEntrySuffix = QStringLiteral(".recovery");
const QByteArray kHeader = "Tarvo recovery 1\n";
// A recovered text is read whole; one longer than any file a window opens, in its longest
// UTF-8 form, is no entry of Tarvo's.
constexpr qint64 kMaxEntryBytes = 3 * kMaxOpenFileSize + 64 * 1024;

QByteArray encoded(const QString &path) {
    return QFile::encodeName(path);
}

// Opens a session's owner file and takes its lock without waiting. The handle, or -1 when the
// file cannot be opened or another process holds the lock.
int lockOwnerFile(const QString &path, bool create) {
    const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT | O_EXCL : 0);
    // Close-on-exec: a program Tarvo starts, which may outlive it, must not keep the lock.
    const int handle = ::open(encoded(path).constData(), flags, 0600);
    if (handle < 0) {
        return -1;
    }
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        ::close(handle);
        return -1;
    }
    return handle;
}

bool isEntryName(const QString &name) {
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+\\.recovery$"));
    return pattern.match(name).hasMatch();
}

int entryNumber(const QString &name) {
    return name.left(name.indexOf(QLatin1Char('.'))).toInt();
}

// The entry files of a folder in the order their ids were given.
QStringList entryNames(const QString &folder) {
    QStringList names;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        if (isEntryName(name)) {
            names << name;
        }
    }
    std::sort(names.begin(), names.end(), [](const QString &left, const QString &right) {
        return entryNumber(left) < entryNumber(right);
    });
    return names;
}

bool readEntry(const QString &path, RecoveryEntry *entry) {
    QByteArray bytes;
    QString error;
    return readWholeFile(path, &bytes, &error, kMaxEntryBytes)
           && RecoveryStore::parse(bytes, entry);
}

QString number(qint64 value) {
    return QString::number(value);
}

} // namespace

RecoveryStore::RecoveryStore(const QString &root)
    : m_root(root) {
    const QString parent = QDir::cleanPath(root + QStringLiteral("/.."));
    if (privateFolder(parent, {QDir(root).dirName()}).isEmpty()) {
        return;
    }
    const QByteArray pattern = encoded(root + QLatin1Char('/') + kNewSessionPrefix + "XXXXXX");
    QByteArray made = pattern;
    // mkdtemp makes the folder 0700 under a name nobody else has.
    if (::mkdtemp(made.data()) == nullptr) {
        return;
    }
    const QString newFolder = QFile::decodeName(made);
    const int handle = lockOwnerFile(newFolder + QLatin1Char('/') + kOwnerFile, true);
    const QString folder = root + QLatin1Char('/') + kSessionPrefix
                           + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')
                           + newFolder.section(QLatin1Char('-'), -1);
    if (handle < 0 || ::rename(made.constData(), encoded(folder).constData()) != 0) {
        if (handle >= 0) {
            ::close(handle);
        }
        QDir(newFolder).removeRecursively();
        return;
    }
    // The process id only tells a person whose session it is; the lock is what counts.
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    [[maybe_unused]] const ssize_t written = ::write(handle, pid.constData(), size_t(pid.size()));
    m_folder = folder;
    m_lockHandle = handle;
}

RecoveryStore::~RecoveryStore() {
    if (!isOpen()) {
        return;
    }
    QDir(m_folder).removeRecursively();
    ::close(m_lockHandle);
}

QString RecoveryStore::newEntryId() {
    return QString::number(m_nextId++);
}

QString RecoveryStore::entryPath(const QString &id) const {
    return m_folder + QLatin1Char('/') + id + kEntrySuffix;
}

bool RecoveryStore::write(const RecoveryEntry &entry, QString *error) {
    QString reason;
    if (!isOpen()) {
        reason = QStringLiteral("There is no recovery folder.");
    } else if (writeFileSafely(entryPath(entry.id), serialise(entry), &reason)) {
        return true;
    }
    if (error) {
        *error = reason;
    }
    return false;
}

void RecoveryStore::remove(const QString &id) {
    if (isOpen()) {
        QFile::remove(entryPath(id));
    }
}

QList<RecoveryEntry> RecoveryStore::entries() const {
    QList<RecoveryEntry> found;
    if (!isOpen()) {
        return found;
    }
    for (const QString &name : entryNames(m_folder)) {
        RecoveryEntry entry;
        if (readEntry(m_folder + QLatin1Char('/') + name, &entry)) {
            entry.id = name.left(name.indexOf(QLatin1Char('.')));
            found << entry;
        }
    }
    return found;
}

QList<RecoveryEntry> RecoveryStore::claimAbandoned() {
    QList<RecoveryEntry> claimed;
    if (!isOpen()) {
        return claimed;
    }
    const QStringList folders =
        QDir(m_root).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : folders) {
        const QString folder = m_root + QLatin1Char('/') + name;
        if (folder != m_folder
            && (name.startsWith(kSessionPrefix) || name.startsWith(kNewSessionPrefix))) {
            claimSession(folder, &claimed);
        }
    }
    return claimed;
}

void RecoveryStore::claimSession(const QString &folder, QList<RecoveryEntry> *claimed) {
    const QString ownerPath = folder + QLatin1Char('/') + kOwnerFile;
    const int handle = lockOwnerFile(ownerPath, false);
    // A session becomes visible only once its owner holds the lock, so one without an owner
    // file was left by a claim that was cut off; a folder still being set up is not touched.
    const bool abandoned = handle >= 0
                           || (QFileInfo(folder).fileName().startsWith(kSessionPrefix)
                               && !QFileInfo::exists(ownerPath));
    if (!abandoned) {
        return;
    }
    // The lock is held until the session is gone, so that two starts never both take it.
    for (const QString &name : entryNames(folder)) {
        const QString from = folder + QLatin1Char('/') + name;
        RecoveryEntry entry;
        if (!readEntry(from, &entry)) {
            continue;
        }
        entry.id = newEntryId();
        if (::rename(encoded(from).constData(), encoded(entryPath(entry.id)).constData()) == 0) {
            claimed->append(entry);
        }
    }
    // What is left are the temporary files of writes that a crash cut off, unless an entry
    // could not be read: that one stays, with its session, for a person to look at.
    if (entryNames(folder).isEmpty()) {
        QFile::remove(ownerPath);
        QDir(folder).removeRecursively();
    }
    if (handle >= 0) {
        ::close(handle);
    }
}

QByteArray RecoveryStore::serialise(const RecoveryEntry &entry) {
    QJsonObject stamp;
    stamp[QStringLiteral("exists")] = entry.diskStamp.exists;
    // As text: a time in nanoseconds is beyond what a JSON number holds exactly.
    stamp[QStringLiteral("size")] = number(entry.diskStamp.size);
    stamp[QStringLiteral("modifiedNs")] = number(entry.diskStamp.modifiedNs);
    stamp[QStringLiteral("inode")] = QString::number(entry.diskStamp.inode);
    stamp[QStringLiteral("device")] = QString::number(entry.diskStamp.device);
    QJsonObject header;
    header[QStringLiteral("kind")] = entry.kind;
    header[QStringLiteral("path")] = entry.path;
    header[QStringLiteral("title")] = entry.title;
    header[QStringLiteral("diskStamp")] = stamp;
    // The header is one line (a compact JSON text escapes every line break), the text follows
    // as it is, so that a person can still read it with any editor.
    return kHeader + QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n'
           + entry.text.toUtf8();
}

bool RecoveryStore::parse(const QByteArray &bytes, RecoveryEntry *entry) {
    if (!bytes.startsWith(kHeader)) {
        return false;
    }
    const qsizetype end = bytes.indexOf('\n', kHeader.size());
    if (end < 0) {
        return false;
    }
    QJsonParseError error;
    const QJsonDocument header =
        QJsonDocument::fromJson(bytes.mid(kHeader.size(), end - kHeader.size()), &error);
    if (error.error != QJsonParseError::NoError || !header.isObject()) {
        return false;
    }
    const QJsonObject fields = header.object();
    const QJsonObject stamp = fields.value(QStringLiteral("diskStamp")).toObject();
    entry->kind = fields.value(QStringLiteral("kind")).toString();
    entry->path = fields.value(QStringLiteral("path")).toString();
    entry->title = fields.value(QStringLiteral("title")).toString();
    entry->diskStamp.exists = stamp.value(QStringLiteral("exists")).toBool();
    entry->diskStamp.size = stamp.value(QStringLiteral("size")).toString().toLongLong();
    entry->diskStamp.modifiedNs = stamp.value(QStringLiteral("modifiedNs")).toString().toLongLong();
    entry->diskStamp.inode = stamp.value(QStringLiteral("inode")).toString().toULongLong();
    entry->diskStamp.device = stamp.value(QStringLiteral("device")).toString().toULongLong();
    entry->text = QString::fromUtf8(bytes.constData() + end + 1, bytes.size() - end - 1);
    return true;
}

} // namespace fw
