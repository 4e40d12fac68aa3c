#pragma once

#include <QDialog>
#include <QPointer>
#include <QTextDocument>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace fw {

// What was last searched for, shared by every text view so that Repeat works anywhere.
struct SearchRequest {
    QString findText;
    QString replaceText;
    bool matchCase = false;
    bool wholeWord = false;
    bool searchUp = false;

    QTextDocument::FindFlags flags() const;
};

// Tells text views that a search moved an editor's selection, so that what shows the caret's
// place can follow. It lives as long as the program; the dialog itself is made on first use.
class SearchEvents : public QObject {
    Q_OBJECT

public:
    static SearchEvents &instance();

Q_SIGNALS:
    void selectionMoved(QPlainTextEdit *editor);
};

// A text view that has to follow edits made to it from outside its own key handling (the
// source view colours the lines they touch). Replacements run through it.
class EditRunner {
public:
    // Makes the edit and then does what the view does after one.
    virtual void runEdit(const std::function<void()> &edit) = 0;

protected:
    ~EditRunner() = default;
};

// The one modeless Find / Replace dialog of the application. It works on the text view that
// was active when it was last shown, and keeps the last search for Repeat.
class FindReplaceDialog : public QDialog {
    Q_OBJECT

public:
    static FindReplaceDialog &instance();

    void showFind(QPlainTextEdit *editor);
    void showReplace(QPlainTextEdit *editor);

    const SearchRequest &lastSearch() const { return m_request; }
    bool hasLastSearch() const { return !m_request.findText.isEmpty(); }

    // Finds the next occurrence in the editor and selects it; false (and a message) when there
    // is none.
    static bool findNext(QPlainTextEdit &editor, const SearchRequest &request);
    static bool replaceCurrent(QPlainTextEdit &editor, const SearchRequest &request);
    static int replaceAll(QPlainTextEdit &editor, const SearchRequest &request);

private:
    FindReplaceDialog();
    void present(QPlainTextEdit *editor, bool withReplace);
    void takeRequest();

    QPointer<QPlainTextEdit> m_editor;
    SearchRequest m_request;
    QLineEdit *m_findEdit = nullptr;
    QLineEdit *m_replaceEdit = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QPushButton *m_replaceButton = nullptr;
    QPushButton *m_replaceAllButton = nullptr;
    QWidget *m_replaceRow = nullptr;
};

} // namespace fw
