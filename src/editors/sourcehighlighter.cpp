#include "editors/sourcehighlighter.h"

#include "framework/texteditcommands.h"

#include "editors/colourclassstore.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <span>

using editors::ColourClass;

namespace {

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
    : m_document(document)
    , m_store(store) {
    m_formats[std::size_t(ColourClass::Keyword)] = formatOf(colours.keyword);
    m_formats[std::size_t(ColourClass::String)] = formatOf(colours.string);
    m_formats[std::size_t(ColourClass::Comment)] = formatOf(colours.comment);
}

SourceHighlighter::~SourceHighlighter() = default;

void SourceHighlighter::refreshLines(const std::vector<int> &lines) {
    // The store marked the lines undrawn when their classes changed.
    if (!lines.empty()) {
        Q_EMIT linesChanged();
    }
}

void SourceHighlighter::drawBlock(const QTextBlock &block) {
    const int line = block.blockNumber();
    if (!block.isValid() || line >= m_store.lineCount() || m_store.isDrawn(line)) {
        return;
    }
    ++m_blocksDrawn;
    const editors::ColourClasses &classes = m_store.lineClasses(line);
    const std::size_t length = std::min<std::size_t>(classes.size(), block.length() - 1);
    QList<QTextLayout::FormatRange> ranges;
    for (const editors::ColourRun &run : editors::colourRuns(std::span(classes).first(length))) {
        if (run.colourClass != ColourClass::Normal) {
            ranges.append(
                {int(run.from), int(run.to - run.from), m_formats[std::size_t(run.colourClass)]});
        }
    }
    // Laying the block out again is reported as a change of its text, which it is not.
    m_store.setIgnoringChanges(true);
    fw::setShownFormats(*m_document, block, ranges);
    m_store.setIgnoringChanges(false);
    m_store.setDrawn(line);
}
