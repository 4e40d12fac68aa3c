#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariantMap>

#include <optional>

// The protocol between Tarvo and its Java service (res/help/javaservice), the same on both sides.
//
// Framing. A frame is a 4-byte big-endian length and that many bytes holding one record. A
// record is a 4-byte count and that many pairs of a name (a string) and a value. A value is a
// tag byte and its body: 's' a string (4-byte length, UTF-8), 'b' bytes (4-byte length, the
// bytes), 'i' an 8-byte big-endian integer, 'l' a list (4-byte count, values), 'r' a record.
//
// Messages. Every record has "id" and "kind"; the other fields belong to the kind. Tarvo sends
// requests with ids from 1 up; the service answers each with zero or more partial replies
// ("partial" = 1) and then exactly one last reply, all with the request's id. Frames with id 0
// come from the service unasked. A reply to a request Tarvo no longer waits for is dropped, so a
// late answer to a stale request never counts. New request kinds need a handler on each side and
// nothing else: the framing stays as it is.
namespace javaservice::protocol {

inline constexpr char kId[] = "id";
inline constexpr char kKind[] = "kind";
inline constexpr char kPartial[] = "partial";

// Message kinds. Service -> Tarvo, id 0, once at its start:
//   ready: "java" (its version), "tools" (list of what run-tool runs), "checks" (1 or 0).
inline constexpr char kReady[] = "ready";
// Requests and their replies:
//   run-tool: "tool" (javac, jar), "args" (list of strings); runs the tool in the service's
//     folder. Partial output: "data" (bytes, as the tool prints them); last done: "exit".
inline constexpr char kRunTool[] = "run-tool";
inline constexpr char kOutput[] = "output";
inline constexpr char kDone[] = "done";
//   check: "path", "text", "sourcepath", "options" (list), "overlays" (list of records with
//     "path" and "text"); compiles the text against the project in memory. Last diagnostics:
//     "items", records with "kind" (error, warning), "line", "column", "start", "end",
//     "position" (offsets into the text, -1 when unknown) and "message".
inline constexpr char kCheck[] = "check";
inline constexpr char kDiagnostics[] = "diagnostics";
//   complete: "path", "text", "caret" (an offset into the text), "sourcepath", "options",
//     "overlays" as for check; what may be written at the caret. Caret -1 only gets the service
//     ready (the JDK's classes read, the compiler warm) and gets no entries. Served beside builds
//     and checks, never behind them. Last completions: "start" (where the name being completed
//     starts), "prefix" (what is typed of it) and "items", records with "name", "kind" (local,
//     parameter, field, method, class, interface, enum, record, annotation, package, keyword),
//     "params" (list of the parameter types of a method), "type" (a method's result, a
//     variable's type, a class's package) and "import" (the qualified name of a class not in
//     scope, else ""); "complete" is 0 when classes were left out until a name is begun.
inline constexpr char kComplete[] = "complete";
inline constexpr char kCompletions[] = "completions";
//   cancel: "request"; no reply of its own. The cancelled request ends with cancelled, or with
//     its usual last reply when it was too far along.
inline constexpr char kCancel[] = "cancel";
inline constexpr char kCancelled[] = "cancelled";
//   error: "message"; the last reply of a request that failed or whose kind is unknown.
inline constexpr char kError[] = "error";

// Frames longer than this break the protocol.
inline constexpr qsizetype kMaxFrameSize = 512 * 1024 * 1024;

struct Message {
    quint64 id = 0;
    QString kind;
    // The kind's fields: QString, QByteArray, qint64, QVariantList or QVariantMap values (bool,
    // int and QStringList are accepted when encoding).
    QVariantMap fields;

    bool isPartial() const { return fields.value(QLatin1String(kPartial)).toLongLong() == 1; }
};

// The frame of a message.
QByteArray encodeFrame(const Message &message);

// Cuts frames out of the bytes read from the channel, whatever pieces they come in.
class FrameReader {
public:
    void append(QByteArrayView bytes);
    // The next whole message, or none until more bytes come. After a frame that breaks the
    // protocol, failed() holds and nothing more is read.
    std::optional<Message> next();
    bool failed() const { return m_failed; }

private:
    QByteArray m_buffer;
    qsizetype m_start = 0;
    bool m_failed = false;
};

} // namespace javaservice::protocol
