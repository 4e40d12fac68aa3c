#pragma once

#include <QHash>
#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

// Find in Files: a text or regular expression searched in many files on a worker thread, the
// matches streamed back as they are found. Files are read as a source window reads them (UTF-8,
// else Latin-1, lines broken at line feeds), so a match's line and column are those the window
// shows; the text of a window with unsaved edits is searched in place of its file.
namespace search {

struct Query {
    QString text;
    bool regularExpression = false;
    bool matchCase = false;
    bool wholeWord = false;
};

// One match: the file, the 1-based line, the 0-based column and length in that line (in
// characters of the editor's text), and the line's text.
struct Hit {
    QString path;
    int line = 0;
    int column = 0;
    int length = 0;
    QString lineText;
};
using Hits = std::vector<Hit>;

// The query made ready to search texts. A whole word is a match with no letter, digit, '_' or
// '$' just before or after it. A regular expression is Perl's, matched within a line; a match
// that would run over a line end is cut there, and empty matches are passed over.
class Matcher {
public:
    explicit Matcher(const Query &query);

    bool isValid() const { return m_error.isEmpty(); }
    // Why the query cannot search, for the user.
    QString error() const { return m_error; }
    // Appends the matches in text, whose lines end with '\n', in order.
    void findAll(const QString &path, QStringView text, Hits &hits) const;

private:
    bool isWholeWord(QStringView text, qsizetype start, qsizetype length) const;

    Query m_query;
    QRegularExpression m_expression;
    QString m_error;
};

// The text of a file as a source window shows it, or none when it cannot be read or holds a
// NUL byte (no text file does).
std::optional<QString> readSearchText(const QString &path);

// Searches files on a worker thread of its own. Hits arrive in batches through `found` on the
// object's thread, at least every kBatchMs while there are new ones, in the order of the files
// and of the matches in each; `finished` follows with the number of files searched. A new
// start, stop() or the object's end abandons the search: nothing more of it arrives, and stop()
// returns once the worker has ended.
class FileSearch : public QObject {
    Q_OBJECT

public:
    static constexpr int kBatchMs = 50;
    // A search stops by itself after this many matches.
    static constexpr int kMaxHits = 100000;

    FileSearch();
    ~FileSearch() override;

    // openTexts: the editor texts of windows with unsaved edits, by their files' full paths.
    void start(const Matcher &matcher, const QStringList &paths,
               const QHash<QString, QString> &openTexts);
    void stop();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    void found(std::shared_ptr<search::Hits> hits);
    // searched: the files searched; cut: the search stopped at kMaxHits.
    void finished(int searched, bool cut);

private:
    void run(Matcher matcher, QStringList paths, QHash<QString, QString> openTexts,
             std::shared_ptr<std::atomic<bool>> cancelled);

    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    bool m_running = false;
};

} // namespace search
