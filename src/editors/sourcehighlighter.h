#pragma once

#include "services/appsettings.h"
#include "editors/colourclass.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>
#include <vector>

class ColourClassStore;

// The colours of the three marked classes, as the settings hold them (0x00BBGGRR). Normal text
// is drawn in the view's own text colour, black.
struct SourceColours {
    ColourRef keyword = AppSettings().keywordColour;
    ColourRef comment = AppSettings().commentColour;
    ColourRef string = AppSettings().stringColour;

    static SourceColours fromSettings(const AppSettings &settings);
};

QColor colourFromRef(ColourRef colour);

// Draws the colour classes of a ColourClassStore: each block gets the character format of its
// characters' classes. It only reads the classes; the colouring passes set them. The formats
// live in the blocks' layouts, not in the document, so drawing them touches neither the undo
// history nor the modified flag.
class SourceHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    SourceHighlighter(QTextDocument *document, ColourClassStore &store,
                      const SourceColours &colours);
    ~SourceHighlighter() override;

    // Draws the given lines again after their classes changed.
    void refreshLines(const std::vector<int> &lines);
    // The character format a class is drawn with.
    const QTextCharFormat &format(editors::ColourClass colourClass) const {
        return m_formats[std::size_t(colourClass)];
    }
    // Blocks drawn since construction: a re-colouring that changes no class draws none.
    qsizetype blocksDrawn() const { return m_blocksDrawn; }

protected:
    void highlightBlock(const QString &text) override;

private:
    ColourClassStore &m_store;
    std::array<QTextCharFormat, 4> m_formats;
    qsizetype m_blocksDrawn = 0;
};
