#include "editors/livechecker.h"

#include "editors/linemarks.h"
#include "editors/longlines.h"
#include "tools/javaservices.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

using javaservice::Diagnostic;

// The text a diagnostic names: its start and end offsets, or the one character at its
// position (or line and column) when it gives no range; a place at a line's end names the
// character before it.
std::optional<std::pair<int, int>> rangeOf(const Diagnostic &diagnostic,
                                           const QTextDocument &document) {
    const int last = document.characterCount() - 1;
    qint64 start = diagnostic.start >= 0 ? diagnostic.start : diagnostic.position;
    if (start < 0 && diagnostic.line > 0) {
        const QTextBlock block = document.findBlockByNumber(diagnostic.line - 1);
        if (block.isValid()) {
            start = block.position() + std::max(diagnostic.column - 1, 0);
        }
    }
    if (start < 0 || last <= 0) {
        return std::nullopt;
    }
    start = std::min<qint64>(start, last - 1);
    qint64 end = std::min<qint64>(diagnostic.end, last);
    if (end <= start) {
        const QTextBlock block = document.findBlock(int(start));
        if (start > block.position() && start >= block.position() + block.length() - 1) {
            --start;
        }
        end = start + 1;
    }
    return std::pair{int(start), int(end)};
}

QString kindWord(Diagnostic::Kind kind) {
    return kind == Diagnostic::Kind::Error ? QStringLiteral("error: ")
                                           : QStringLiteral("warning: ");
}

} // namespace

LiveChecker::LiveChecker(QTextDocument *document, LineMarks *marks, std::function<QString()> path,
                         SetupSource setup)
    : m_document(document)
    , m_marks(marks)
    , m_path(std::move(path))
    , m_setup(std::move(setup)) {
    m_delay.setSingleShot(true);
    m_delay.setInterval(kDelayMs);
    connect(&m_delay, &QTimer::timeout, this, &LiveChecker::startCheck);
    connect(document, &QTextDocument::contentsChange, this, &LiveChecker::textChanged);
    m_seenRevision = document->revision();
}

LiveChecker::~LiveChecker() {
    cancelRequest();
}

void LiveChecker::textChanged() {
    // Colouring redraws lines without changing the text; only edits count. A text read or set
    // anew has no undo history: it is not typed, and is not checked until it is edited.
    if (m_document->revision() == m_seenRevision
        || (!m_document->isUndoAvailable() && !m_document->isRedoAvailable())) {
        return;
    }
    m_seenRevision = m_document->revision();
    cancelRequest();
    m_delay.start();
}

void LiveChecker::startCheck() {
    const QString path = m_path();
    if (path.isEmpty() || !m_setup) {
        return;
    }
    const QString text = editors::wholeText(*m_document);
    const std::optional<LiveCheckSetup> setup = m_setup(path, text);
    if (!setup) {
        return;
    }
    javaservice::JavaServiceClient &client = javaServices();
    if (!m_listening) {
        m_listening = true;
        connect(&client, &javaservice::JavaServiceClient::checked, this, &LiveChecker::checked);
        connect(&client, &javaservice::JavaServiceClient::failed, this,
                [this](javaservice::RequestId id) {
                    if (id == m_request) {
                        m_request = 0;
                    }
                });
    }
    javaservice::CheckRequest request = setup->request;
    request.path = path;
    request.text = text;
    m_requestRevision = m_seenRevision;
    m_request = client.check(setup->jdkFolder, setup->folder, request);
}

void LiveChecker::checked(javaservice::RequestId id, const QList<Diagnostic> &diagnostics) {
    if (id == 0 || id != m_request) {
        return;
    }
    m_request = 0;
    if (m_document->revision() != m_requestRevision) {
        return; // the text has changed since: its own check comes
    }
    m_findings.clear();
    QList<jdk::CompilerMark> marks;
    for (const Diagnostic &diagnostic : diagnostics) {
        const CompilerMessageKind kind = diagnostic.kind == Diagnostic::Kind::Error
                                             ? CompilerMessageKind::Error
                                             : CompilerMessageKind::Warning;
        const QString message = kindWord(diagnostic.kind) + diagnostic.message;
        const std::optional<std::pair<int, int>> range = rangeOf(diagnostic, *m_document);
        int line = diagnostic.line;
        if (range) {
            QTextCursor cursor(m_document);
            cursor.setPosition(range->first);
            cursor.setPosition(range->second, QTextCursor::KeepAnchor);
            m_findings.append({diagnostic.kind, cursor, message});
            line = m_document->findBlock(range->first).blockNumber() + 1;
        }
        if (line > 0) {
            marks.append({line, kind, message});
        }
    }
    m_marks->setMarks(marks);
    emit findingsChanged();
}

void LiveChecker::cancelRequest() {
    if (m_request != 0) {
        javaServices().cancel(std::exchange(m_request, 0));
    }
}

QList<LiveChecker::Finding> LiveChecker::findings() const {
    QList<Finding> shown;
    for (const Finding &finding : m_findings) {
        if (finding.range.hasSelection()) {
            shown.append(finding);
        }
    }
    return shown;
}

QStringList LiveChecker::messagesAt(int position) const {
    QStringList errors;
    QStringList warnings;
    for (const Finding &finding : findings()) {
        if (position >= finding.range.selectionStart() && position < finding.range.selectionEnd()) {
            (finding.kind == Diagnostic::Kind::Error ? errors : warnings).append(finding.message);
        }
    }
    return errors + warnings;
}
