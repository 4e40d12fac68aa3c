#pragma once

#include "javaservice/javaserviceclient.h"

#include <QList>
#include <QObject>
#include <QTextCursor>
#include <QTimer>

#include <functional>
#include <optional>

class LineMarks;
class QTextDocument;

// What a live check needs beyond the text: the JDK and the folder whose service checks it, and
// the request with the project's source path, the user's options and the unsaved texts of the
// other files. Given by the open project for the files it checks.
struct LiveCheckSetup {
    QString jdkFolder;
    QString folder;
    javaservice::CheckRequest request; // without the path and the text
};

// Errors as you type in one source document: a while after the text last changed, the text is
// checked against its project by the Java service, and the errors and warnings found become the
// document's findings (a range of its text that follows edits, with the message) and the marks
// of its lines, which replace whatever marks a build had put there. Only the answer for the text
// as it still is counts: an answer to an older text is dropped, and a check under way is
// cancelled when the text changes again. Nothing here waits for the service.
class LiveChecker : public QObject {
    Q_OBJECT

public:
    static constexpr int kDelayMs = 400;

    struct Finding {
        javaservice::Diagnostic::Kind kind = javaservice::Diagnostic::Kind::Error;
        QTextCursor range; // the text javac names, selected
        QString message;   // "error: ..." or "warning: ...", with its explaining lines
    };
    // The setup of a check of the file at path with that text, or none when it is not checked.
    using SetupSource =
        std::function<std::optional<LiveCheckSetup>(const QString &path, const QString &text)>;

    LiveChecker(QTextDocument *document, LineMarks *marks, std::function<QString()> path,
                SetupSource setup);
    ~LiveChecker() override;

    // The findings of the last check, as their ranges stand now; a range whose text was removed
    // whole is gone.
    QList<Finding> findings() const;
    // The messages of the findings whose range holds the position, errors first.
    QStringList messagesAt(int position) const;
    // Whether a check is waiting to start or waiting for its answer.
    bool isPending() const { return m_delay.isActive() || m_request != 0; }

Q_SIGNALS:
    // The findings were replaced by those of a new check.
    void findingsChanged();

private:
    void textChanged();
    void startCheck();
    void checked(javaservice::RequestId id, const QList<javaservice::Diagnostic> &diagnostics);
    void cancelRequest();

    QTextDocument *m_document;
    LineMarks *m_marks;
    std::function<QString()> m_path;
    SetupSource m_setup;
    QTimer m_delay;
    int m_seenRevision = 0;
    // The check under way and the revision of the text it checks.
    javaservice::RequestId m_request = 0;
    int m_requestRevision = -1;
    QList<Finding> m_findings;
    // Whether the client's answers are heard: from the first check on.
    bool m_listening = false;
};
