#pragma once

#include "editors/filesearch.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QSyntaxHighlighter;

// The lines of the results window: read-only, never wrapped; a double-click reports the 0-based
// line it fell on.
class FindResultsView : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit FindResultsView(QWidget *parent = nullptr);

Q_SIGNALS:
    // A double-click, or Enter, on a line.
    void lineDoubleClicked(int line);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// The "Find Results" window: a caption saying what is searched and how far the search is, a
// Stop button while it runs, and one line per match, "path:line: text", with the match shown
// in bold on a light background. Line 0 says what was searched for; line i + 1 is match i.
class FindResultsWindow : public QDialog {
    Q_OBJECT

public:
    explicit FindResultsWindow(QWidget *owner);
    ~FindResultsWindow() override;

    FindResultsView *view() const { return m_view; }
    QLabel *caption() const { return m_caption; }
    QPushButton *stopButton() const { return m_stop; }

    // Empties the lines and starts them with the heading.
    void begin(const QString &heading);
    // Appends a line per match; textStarts: where the line's text begins after "path:line: ".
    void append(const QStringList &lines);
    void setHighlights(const std::vector<std::pair<int, int>> *highlights);
    void selectLine(int line);

Q_SIGNALS:
    void stopRequested();

private:
    QLabel *m_caption = nullptr;
    QPushButton *m_stop = nullptr;
    FindResultsView *m_view = nullptr;
    QSyntaxHighlighter *m_highlighter = nullptr;
};

// Find in Files as the application runs it: the dialog, the search on its worker thread, the
// results window and the way from a result to its place, by a double-click or, while the results
// are the list in use, by Next and Previous Message (F4, Shift+F4) as from compiler messages.
class FindInFiles : public QObject {
    Q_OBJECT

public:
    // What the search needs of the application around it.
    struct Context {
        std::function<QStringList()> projectFiles; // none: no project is open
        std::function<QString()> projectFolder;    // where project paths are shown from
        std::function<QString()> activeFileFolder; // empty: no active file
        std::function<QString()> selectedText;     // in the active window, within a line
        std::function<QHash<QString, QString>()> unsavedTexts;
        std::function<void(const search::Hit &)> openHit;
        // Changes whenever the compiler output gets a new run: the results stop being the list
        // F4 goes through then.
        std::function<qsizetype()> outputMark;
        std::function<QWidget *()> owner;
    };

    explicit FindInFiles(Context context);
    ~FindInFiles() override;

    // "Find in Files...": the dialog, then the search.
    void Run();
    // Starts a search of the files and shows the results window.
    void Start(const search::Query &query, const QStringList &paths, const QString &heading,
               const QString &baseFolder);
    void Stop();

    const search::Hits &hits() const { return m_hits; }
    bool isSearching() const { return m_search.isRunning(); }
    FindResultsWindow *window() const { return m_window; }
    // Whether F4 and Shift+F4 go through the results: they are shown, hold matches, and no
    // compiler run came after the search or the last use of a result.
    bool isCurrent() const;
    // Opens the next (or previous) result, round at the ends, and selects its line.
    void GoToResult(bool forward);
    void OpenResult(int index);

private:
    void takeHits(const std::shared_ptr<search::Hits> &hits);
    void searchFinished(int searched, bool cut);
    void makeCurrent();
    QString displayPath(const QString &path) const;

    Context m_context;
    search::FileSearch m_search;
    QPointer<FindResultsWindow> m_window;
    search::Hits m_hits;
    // For each result line: where the match starts in it and how long it is.
    std::vector<std::pair<int, int>> m_highlights;
    QString m_heading;
    QString m_baseFolder;
    int m_current = -1;
    qsizetype m_outputMark = -1;
    bool m_used = false;
};
