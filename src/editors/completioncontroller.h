#pragma once

#include "editors/completion.h"
#include "editors/livechecker.h"

#include <QObject>
#include <QPointer>
#include <QTextCursor>
#include <QTimer>

#include <functional>
#include <optional>

class CompletionPopup;
class QKeyEvent;
class QPlainTextEdit;
namespace fw {
class EditRunner;
}

// Code completion in one source editor. Ctrl+Space, and a '.' typed after a name once typing
// pauses for kDotDelayMs, ask the Java service what may be written at the caret, with the
// editor's unsaved text; when no service serves the editor (switched off, or no compiler API),
// or it fails, the fallback's entries are offered at once instead, so that the key is never
// dead. The answer shows as a list under the caret, filtered by what is typed of the name
// (see editors::filterCompletions) and followed as it is typed; Up, Down, Page Up and Page
// Down move in it (a list of an empty name that left classes out is asked for again once a name
// is begun), Enter or Tab insert the current entry (a method with its parentheses, a
// class of another package with its import), Escape closes it, and so does the caret leaving
// the name. An answer for a place the caret has left since is dropped. The first edit of the
// text has the service get ready for completion. Nothing here waits for the service.
class CompletionController : public QObject {
    Q_OBJECT

public:
    static constexpr int kDotDelayMs = 150;

    // How the editor's text (given) is completed by the service, path, source path, options
    // and overlays filled in; none when no service serves it.
    using ServiceSetup = std::function<std::optional<LiveCheckSetup>(const QString &text)>;
    // The entries offered without the service, given the word being typed.
    using Fallback = std::function<QList<editors::CompletionItem>(const QString &typedWord)>;
    // Whether a position of the text is code, not a comment or a string.
    using CodeTest = std::function<bool(int position)>;

    CompletionController(QPlainTextEdit *editor, fw::EditRunner *edits, ServiceSetup setup,
                         Fallback fallback, CodeTest isCode);
    ~CompletionController() override;

    // What Ctrl+Space does: asks for the entries at the caret.
    void complete();
    // Ends the completion: the list goes, an answer still to come is dropped.
    void close();
    // Inserts the current entry of the list shown.
    void insertCurrent();

    bool isShown() const;
    // Whether an answer is awaited, or a '.' waits for the pause.
    bool isPending() const { return m_request != 0 || m_dotDelay.isActive(); }
    CompletionPopup *popup() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleKey(QKeyEvent *event);
    void dotTyped();
    void completed(javaservice::RequestId id, const javaservice::Completions &completions);
    void showFallback();
    void show(QList<editors::CompletionItem> items);
    // Follows the caret: filters the list by the name typed, or ends the completion when the
    // caret has left it.
    void follow();
    // What is typed of the name being completed, or none when the caret has left it.
    std::optional<QString> typedName() const;
    void cancelRequest();
    // At the first edit of the text: a completion whose answer nobody waits for, so that the
    // service has read the JDK's classes before the first Ctrl+Space.
    void warmUp();

    QPlainTextEdit *m_editor;
    fw::EditRunner *m_edits;
    ServiceSetup m_setup;
    Fallback m_fallback;
    CodeTest m_isCode;
    QPointer<CompletionPopup> m_popup;
    QTimer m_dotDelay;
    // Where the name being completed starts; null when no completion is under way.
    QTextCursor m_start;
    javaservice::RequestId m_request = 0;
    // Whether the list shown leaves out entries that a begun name asks for.
    bool m_incomplete = false;
    bool m_listening = false;
    QMetaObject::Connection m_firstEdit;
};
