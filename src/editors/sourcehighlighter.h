#pragma once

#include "editors/colourclass.h"
#include "services/appsettings.h"

#include <QObject>
#include <QTextCharFormat>

#include <array>
#include <vector>

class ColourClassStore;
class QTextBlock;
class QTextDocument;

// The colours of the three marked classes, as the settings hold them (0x00BBGGRR). Normal text
// is drawn in the view's own text colour, black.
struct SourceColours {
    ColourRef keyword = AppSettings().keywordColour;
    ColourRef comment = AppSettings().commentColour;
    ColourRef string = AppSettings().stringColour;

    static SourceColours fromSettings(const AppSettings &settings);
};

QColor colourFromRef(ColourRef colour);

// Draws the colour classes of a ColourClassStore: a block gets the character formats of its
// characters' classes. It only reads the classes; the colouring passes set them. The formats
// live in the blocks' layouts, not in the document, so drawing them touches neither the undo
// history nor the modified flag.
//
// Drawing is lazy: a view asks for the blocks it is about to paint (drawBlock), and only a
// line whose text or classes changed since it was last drawn is drawn again. A large file thus
// costs formats and layouts only for the lines the user has seen, however much of it the
// colouring passes classify.
class SourceHighlighter : public QObject {
    Q_OBJECT

public:
    SourceHighlighter(QTextDocument *document, ColourClassStore &store,
                      const SourceColours &colours);
    ~SourceHighlighter() override;

    // Tells the views that the given lines, whose classes changed, need painting again: each
    // is drawn anew before it is painted.
    void refreshLines(const std::vector<int> &lines);
    // Gives the block the formats of its line's classes unless it has them already.
    void drawBlock(const QTextBlock &block);
    // The character format a class is drawn with.
    const QTextCharFormat &format(editors::ColourClass colourClass) const {
        return m_formats[std::size_t(colourClass)];
    }
    // Blocks drawn since construction: a re-colouring that changes no class draws none.
    qsizetype blocksDrawn() const { return m_blocksDrawn; }

Q_SIGNALS:
    // Lines already painted may show old colours: the views paint again.
    void linesChanged();

private:
    QTextDocument *m_document;
    ColourClassStore &m_store;
    std::array<QTextCharFormat, 4> m_formats;
    qsizetype m_blocksDrawn = 0;
};
