#include "app/findinfiles.h"

#include "app/cfindinfilesdialog.h"
#include "framework/filetree.h"
#include "framework/prompter.h"

#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

// Shows each result's match in bold on a light background.
class ResultHighlighter : public QSyntaxHighlighter {
public:
    explicit ResultHighlighter(QTextDocument *document)
        : QSyntaxHighlighter(document) {
        m_match.setFontWeight(QFont::Bold);
        m_match.setBackground(QColor(0xff, 0xf0, 0x8c));
    }
    void setHighlights(const std::vector<std::pair<int, int>> *highlights) {
        m_highlights = highlights;
    }

protected:
    void highlightBlock(const QString &) override {
        const auto block = static_cast<std::size_t>(currentBlock().blockNumber());
        if (m_highlights && block < m_highlights->size() && (*m_highlights)[block].first >= 0) {
            setFormat((*m_highlights)[block].first, (*m_highlights)[block].second, m_match);
        }
    }

private:
    const std::vector<std::pair<int, int>> *m_highlights = nullptr;
    QTextCharFormat m_match;
};

QString plural(qsizetype count, const QString &one, const QString &many) {
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

} // namespace

FindResultsView::FindResultsView(QWidget *parent)
    : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void FindResultsView::mouseDoubleClickEvent(QMouseEvent *event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    Q_EMIT lineDoubleClicked(cursorForPosition(event->position().toPoint()).blockNumber());
}

void FindResultsView::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT lineDoubleClicked(textCursor().blockNumber());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

FindResultsWindow::FindResultsWindow(QWidget *owner)
    : QDialog(owner, Qt::Window)
    , m_caption(new QLabel(this))
    , m_stop(new QPushButton(QStringLiteral("Stop"), this))
    , m_view(new FindResultsView(this)) {
    setWindowTitle(QStringLiteral("Find Results"));
    m_highlighter = new ResultHighlighter(m_view->document());
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_stop->setAutoDefault(false);
    connect(m_stop, &QPushButton::clicked, this, &FindResultsWindow::stopRequested);
    auto *strip = new QHBoxLayout;
    strip->addWidget(m_caption, 1);
    strip->addWidget(m_stop);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(strip);
    layout->addWidget(m_view, 1);
    // Across the bottom of the main window, below most of the text it leads to.
    if (owner) {
        const QRect area = owner->geometry();
        const int height = std::min(240, area.height() / 3);
        setGeometry(area.left() + 20, area.bottom() - height - 40, area.width() - 40, height);
    } else {
        resize(720, 240);
    }
}

FindResultsWindow::~FindResultsWindow() = default;

void FindResultsWindow::begin(const QString &heading) {
    m_view->setPlainText(heading);
}

void FindResultsWindow::append(const QStringList &lines) {
    QTextCursor end(m_view->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}

void FindResultsWindow::setHighlights(const std::vector<std::pair<int, int>> *highlights) {
    static_cast<ResultHighlighter *>(m_highlighter)->setHighlights(highlights);
}

void FindResultsWindow::selectLine(int line) {
    const QTextBlock block = m_view->document()->findBlockByNumber(line);
    if (!block.isValid()) {
        return;
    }
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_view->setTextCursor(cursor);
    m_view->ensureCursorVisible();
}

FindInFiles::FindInFiles(Context context)
    : m_context(std::move(context)) {
    connect(&m_search, &search::FileSearch::found, this, &FindInFiles::takeHits);
    connect(&m_search, &search::FileSearch::finished, this, &FindInFiles::searchFinished);
}

FindInFiles::~FindInFiles() {
    m_search.stop();
    delete m_window;
}

void FindInFiles::Run() {
    const QStringList projectFiles = m_context.projectFiles();
    CFindInFilesDialog dialog(!projectFiles.isEmpty(), m_context.activeFileFolder(),
                              m_context.owner());
    dialog.setText(m_context.selectedText());
    if (fw::prompter().runDialog(dialog) != QDialog::Accepted) {
        return;
    }
    const search::Query query = dialog.query();
    const QString what = QStringLiteral("Find \"%1\"").arg(query.text);
    if (dialog.scope() == CFindInFilesDialog::ProjectFiles) {
        Start(query, projectFiles, what + QStringLiteral(" in the project's files"),
              m_context.projectFolder());
        return;
    }
    const QString folder = QDir::cleanPath(dialog.folder());
    QStringList paths;
    if (dialog.includeSubfolders()) {
        paths = fw::filesBelow(folder, dialog.filePatterns());
    } else {
        for (const QFileInfo &file : QDir(folder).entryInfoList(
                 dialog.filePatterns(), QDir::Files | QDir::CaseSensitive, QDir::Name)) {
            paths << file.absoluteFilePath();
        }
    }
    Start(query, paths, what + QStringLiteral(" in %1").arg(folder), folder);
}

void FindInFiles::Start(const search::Query &query, const QStringList &paths,
                        const QString &heading, const QString &baseFolder) {
    m_search.stop();
    m_hits.clear();
    m_highlights.assign(1, {-1, 0});
    m_heading = heading;
    m_baseFolder = baseFolder;
    m_current = -1;
    if (!m_window) {
        m_window = new FindResultsWindow(m_context.owner());
        connect(m_window, &FindResultsWindow::stopRequested, this, &FindInFiles::Stop);
        connect(m_window->view(), &FindResultsView::lineDoubleClicked, this,
                [this](int line) { OpenResult(line - 1); });
        // F4 and Shift+F4 go through the results from their own window too.
        auto *next = new QShortcut(QKeySequence(Qt::Key_F4), m_window);
        connect(next, &QShortcut::activated, this, [this] { GoToResult(true); });
        auto *previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F4), m_window);
        connect(previous, &QShortcut::activated, this, [this] { GoToResult(false); });
    }
    m_window->setHighlights(&m_highlights);
    m_window->begin(heading);
    m_window->caption()->setText(
        QStringLiteral("Searching %1...")
            .arg(plural(paths.size(), QStringLiteral("file"), QStringLiteral("files"))));
    m_window->stopButton()->setEnabled(true);
    m_window->show();
    m_window->raise();
    makeCurrent();
    m_search.start(search::Matcher(query), paths, m_context.unsavedTexts());
}

void FindInFiles::Stop() {
    if (!m_search.isRunning()) {
        return;
    }
    m_search.stop();
    if (m_window) {
        m_window->stopButton()->setEnabled(false);
        m_window->caption()->setText(
            QStringLiteral("Stopped: %1 so far")
                .arg(plural(static_cast<qsizetype>(m_hits.size()), QStringLiteral("match"),
                            QStringLiteral("matches"))));
    }
}

QString FindInFiles::displayPath(const QString &path) const {
    if (m_baseFolder.isEmpty()) {
        return path;
    }
    const QString relative = QDir(m_baseFolder).relativeFilePath(path);
    return relative.startsWith(QLatin1String("..")) ? path : relative;
}

void FindInFiles::takeHits(const std::shared_ptr<search::Hits> &hits) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(hits->size()));
    for (search::Hit &hit : *hits) {
        const QString prefix = displayPath(hit.path) + QLatin1Char(':') + QString::number(hit.line)
                               + QStringLiteral(": ");
        // Tabs are shown as they are; the line text follows the prefix unchanged.
        lines << prefix + hit.lineText;
        m_highlights.emplace_back(static_cast<int>(prefix.size()) + hit.column, hit.length);
        m_hits.push_back(std::move(hit));
    }
    if (m_window) {
        m_window->append(lines);
        m_window->caption()->setText(
            QStringLiteral("Searching... %1 so far")
                .arg(plural(static_cast<qsizetype>(m_hits.size()), QStringLiteral("match"),
                            QStringLiteral("matches"))));
    }
}

void FindInFiles::searchFinished(int searched, bool cut) {
    if (!m_window) {
        return;
    }
    m_window->stopButton()->setEnabled(false);
    QSet<QString> files;
    for (const search::Hit &hit : m_hits) {
        files.insert(hit.path);
    }
    QString summary =
        QStringLiteral("%1 in %2 (%3 searched)")
            .arg(plural(static_cast<qsizetype>(m_hits.size()), QStringLiteral("match"),
                        QStringLiteral("matches")),
                 plural(files.size(), QStringLiteral("file"), QStringLiteral("files")),
                 plural(searched, QStringLiteral("file"), QStringLiteral("files")));
    if (cut) {
        summary += QStringLiteral("; the search stopped at %1 matches").arg(m_hits.size());
    }
    m_window->caption()->setText(summary);
}

void FindInFiles::makeCurrent() {
    m_outputMark = m_context.outputMark();
    m_used = true;
}

bool FindInFiles::isCurrent() const {
    return m_used && m_window && m_window->isVisible() && !m_hits.empty()
           && m_context.outputMark() == m_outputMark;
}

void FindInFiles::GoToResult(bool forward) {
    const int count = static_cast<int>(m_hits.size());
    if (count == 0) {
        return;
    }
    // Round at the ends, as the compiler messages go; with none gone to yet, the first or last.
    if (forward) {
        OpenResult(m_current + 1 < count ? m_current + 1 : 0);
    } else {
        OpenResult(m_current > 0 ? m_current - 1 : count - 1);
    }
}

void FindInFiles::OpenResult(int index) {
    if (index < 0 || index >= static_cast<int>(m_hits.size())) {
        return;
    }
    m_current = index;
    makeCurrent();
    if (m_window) {
        m_window->selectLine(index + 1);
    }
    m_context.openHit(m_hits[static_cast<std::size_t>(index)]);
}
