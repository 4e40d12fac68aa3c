#include "editors/sourcehighlighter.h"

#include "editors/colourclassstore.h"

#include <QTextBlock>
#include <QTextDocument>

#include <span>

using editors::ColourClass;

namespace {

// Past this share of the document's blocks, one pass over all of them is cheaper than drawing
// the lines one by one.
constexpr int kWholeDocumentShare = 8;

QTextCharFormat formatOf(ColourRef colour) {
    QTextCharFormat format;
    format.setForeground(colourFromRef(colour));
    return format;
}

} // namespace

SourceColours SourceColours::fromSettings(const AppSettings &settings) {
    return {settings.keywordColour, settings.commentColour, settings.stringColour};
}

QColor colourFromRef(ColourRef colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

SourceHighlighter::SourceHighlighter(QTextDocument *document, ColourClassStore &store,
                                     const SourceColours &colours)
    : QSyntaxHighlighter(document)
    , m_store(store) {
    m_formats[std::size_t(ColourClass::Keyword)] = formatOf(colours.keyword);
    m_formats[std::size_t(ColourClass::String)] = formatOf(colours.string);
    m_formats[std::size_t(ColourClass::Comment)] = formatOf(colours.comment);
}

SourceHighlighter::~SourceHighlighter() = default;

void SourceHighlighter::refreshLines(const std::vector<int> &lines) {
    if (lines.empty()) {
        return;
    }
    // Drawing a block makes the document report it as changed: not an edit of its text.
    m_store.setIgnoringChanges(true);
    if (lines.size() > std::size_t(document()->blockCount() / kWholeDocumentShare)) {
        rehighlight();
    } else {
        for (const int line : lines) {
            rehighlightBlock(document()->findBlockByNumber(line));
        }
    }
    m_store.setIgnoringChanges(false);
}

void SourceHighlighter::highlightBlock(const QString &text) {
    ++m_blocksDrawn;
    const editors::ColourClasses &classes = m_store.lineClasses(currentBlock().blockNumber());
    const std::size_t length = std::min<std::size_t>(classes.size(), text.size());
    for (const editors::ColourRun &run : editors::colourRuns(std::span(classes).first(length))) {
        if (run.colourClass != ColourClass::Normal) {
            setFormat(int(run.from), int(run.to - run.from),
                      m_formats[std::size_t(run.colourClass)]);
        }
    }
}
