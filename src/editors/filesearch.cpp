#include "editors/filesearch.h"

#include "editors/sourcetext.h"
#include "framework/fileio.h"
#include "framework/orderedparallel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMetaObject>

namespace search {

namespace {

bool isWordCharacter(QChar character) {
    return character.isLetterOrNumber() || character == QLatin1Char('_')
           || character == QLatin1Char('$');
}

// Hands matches to the lines they stand in: walks forward through the text once, so that the
// matches of a file, found in order, cost one pass over it.
class LineFinder {
public:
    explicit LineFinder(QStringView text)
        : m_text(text) {}

    // The line of a position at or after the last one asked about.
    void moveTo(qsizetype position) {
        while (true) {
            const qsizetype end = lineEnd();
            if (position <= end || end == m_text.size()) {
                return;
            }
            m_start = end + 1;
            ++m_line;
            m_end = -1;
        }
    }
    int line() const { return m_line; }
    qsizetype start() const { return m_start; }
    qsizetype lineEnd() {
        if (m_end < 0) {
            m_end = m_text.indexOf(QLatin1Char('\n'), m_start);
            if (m_end < 0) {
                m_end = m_text.size();
            }
        }
        return m_end;
    }

private:
    QStringView m_text;
    qsizetype m_start = 0;
    qsizetype m_end = -1;
    int m_line = 1;
};

} // namespace

Matcher::Matcher(const Query &query)
    : m_query(query) {
    if (query.text.isEmpty()) {
        m_error = QStringLiteral("Type the text to find.");
        return;
    }
    if (!query.regularExpression) {
        return;
    }
    QRegularExpression::PatternOptions options = QRegularExpression::MultilineOption;
    if (!query.matchCase) {
        options |= QRegularExpression::CaseInsensitiveOption;
    }
    m_expression = QRegularExpression(query.text, options);
    if (!m_expression.isValid()) {
        m_error = QStringLiteral("The regular expression is not valid: %1 (at %2).")
                      .arg(m_expression.errorString())
                      .arg(m_expression.patternErrorOffset());
        return;
    }
    m_expression.optimize();
}

bool Matcher::isWholeWord(QStringView text, qsizetype start, qsizetype length) const {
    if (!m_query.wholeWord) {
        return true;
    }
    const qsizetype end = start + length;
    return (start == 0 || !isWordCharacter(text.at(start - 1)))
           && (end >= text.size() || !isWordCharacter(text.at(end)));
}

void Matcher::findAll(const QString &path, QStringView text, Hits &hits) const {
    if (!isValid()) {
        return;
    }
    LineFinder lines(text);
    const auto add = [&](qsizetype start, qsizetype length) {
        lines.moveTo(start);
        const qsizetype end = std::min(start + length, lines.lineEnd());
        if (end <= start || !isWholeWord(text, start, length)) {
            return;
        }
        hits.push_back(Hit{path, lines.line(), static_cast<int>(start - lines.start()),
                           static_cast<int>(end - start),
                           text.sliced(lines.start(), lines.lineEnd() - lines.start()).toString()});
    };
    if (m_query.regularExpression) {
        QRegularExpressionMatchIterator matches = m_expression.globalMatch(text);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            add(match.capturedStart(), match.capturedLength());
        }
        return;
    }
    const Qt::CaseSensitivity sensitivity =
        m_query.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype length = m_query.text.size();
    for (qsizetype found = text.indexOf(m_query.text, 0, sensitivity); found >= 0;
         found = text.indexOf(m_query.text, found + length, sensitivity)) {
        add(found, length);
    }
}

std::optional<QString> readSearchText(const QString &path) {
    QByteArray bytes;
    QString error;
    if (!fw::readWholeFile(path, &bytes, &error) || bytes.contains('\0')) {
        return std::nullopt;
    }
    return editors::decodeSourceFile(bytes).text;
}

FileSearch::FileSearch() = default;

FileSearch::~FileSearch() {
    stop();
}

void FileSearch::start(const Matcher &matcher, const QStringList &paths,
                       const QHash<QString, QString> &openTexts) {
    stop();
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_running = true;
    m_worker = std::thread(&FileSearch::run, this, matcher, paths, openTexts, m_cancelled);
}

void FileSearch::stop() {
    if (m_cancelled) {
        m_cancelled->store(true);
    }
    // The worker posts to this object: it must be gone before the object is.
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_running = false;
}

void FileSearch::run(Matcher matcher, QStringList paths, QHash<QString, QString> openTexts,
                     std::shared_ptr<std::atomic<bool>> cancelled) {
    auto batch = std::make_shared<Hits>();
    std::size_t total = 0;
    const auto handOver = [&](std::optional<std::pair<int, bool>> end) {
        total += batch->size();
        QMetaObject::invokeMethod(
            this,
            [this, hits = std::exchange(batch, std::make_shared<Hits>()), cancelled, end] {
                if (cancelled->load()) {
                    return;
                }
                if (!hits->empty()) {
                    Q_EMIT found(hits);
                }
                if (end) {
                    m_running = false;
                    Q_EMIT finished(end->first, end->second);
                }
            },
            Qt::QueuedConnection);
    };
    QElapsedTimer sinceHandOver;
    sinceHandOver.start();
    int searched = 0;
    bool cut = false;
    // Files are read and searched on several threads; their matches are taken in file order.
    fw::orderedParallel<std::optional<Hits>>(
        static_cast<std::size_t>(paths.size()), fw::backgroundThreads(), *cancelled,
        [&](std::size_t index) -> std::optional<Hits> {
            const QString &path = paths.at(static_cast<qsizetype>(index));
            const auto open = openTexts.constFind(QDir::cleanPath(path));
            std::optional<QString> text =
                open != openTexts.cend() ? std::optional<QString>(*open) : readSearchText(path);
            if (!text) {
                return std::nullopt;
            }
            Hits hits;
            matcher.findAll(path, *text, hits);
            return hits;
        },
        [&](std::size_t, std::optional<Hits> &&hits) {
            if (!hits) {
                return true;
            }
            ++searched;
            for (Hit &hit : *hits) {
                batch->push_back(std::move(hit));
                if (total + batch->size() >= static_cast<std::size_t>(kMaxHits)) {
                    cut = true;
                    return false;
                }
            }
            if (!batch->empty() && sinceHandOver.elapsed() >= kBatchMs) {
                handOver(std::nullopt);
                sinceHandOver.restart();
            }
            return true;
        });
    if (cancelled->load()) {
        return;
    }
    handOver(std::make_pair(searched, cut));
}

} // namespace search
