#include "sourcewindowfixture.h"

#include "editors/cchildframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/sourcehighlighter.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QTextLayout>

namespace editors_testing {

SourceWindow::SourceWindow(const QByteArray &bytes)
    : m_document(std::make_unique<CSyntaxWindowDoc>())
    , m_frame(std::make_unique<CChildFrame>()) {
    if (!bytes.isNull()) {
        path = testing_support::makeScratchFolder(QStringLiteral("source"))
               + QStringLiteral("/Foo.java");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("Cannot write %s", qPrintable(path));
        }
        file.close();
        if (!m_document->onOpenDocument(path)) {
            qFatal("Cannot open %s", qPrintable(path));
        }
        m_document->setPathName(path);
    }
    m_view = new CSyntaxWindowView;
    m_frame->setView(m_view);
    m_frame->attachDocument(m_document.get());
    m_frame->resize(640, 480);
    m_frame->show();
    m_view->onInitialUpdate();
}

SourceWindow::~SourceWindow() {
    m_frame.reset();
    m_document.reset();
}

QString SourceWindow::text() const {
    return m_document->editorText();
}

QTextBlock SourceWindow::block(int line) const {
    return m_document->textDocument()->findBlockByNumber(line);
}

QString SourceWindow::selectedText() const {
    return m_view->textCursor().selectedText().replace(QChar::ParagraphSeparator,
                                                       QLatin1Char('\n'));
}

void SourceWindow::setCursor(int anchor, int position) const {
    QTextCursor cursor = m_view->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    m_view->setTextCursor(cursor);
}

QString SourceWindow::drawnClasses(int line) const {
    // Colours reach a line when it is painted, which needs the window on screen.
    if (!QTest::qWaitForWindowExposed(m_frame.get())) {
        qFatal("The source window is never shown");
    }
    // A line out of sight is scrolled to the top of the view first.
    const QWidget *port = m_view->viewport();
    if (line < m_view->cursorForPosition(QPoint(0, 0)).blockNumber()
        || line > m_view->cursorForPosition(QPoint(0, port->height() - 1)).blockNumber()) {
        m_view->verticalScrollBar()->setValue(line);
    }
    m_view->viewport()->repaint();
    const QTextBlock textBlock = block(line);
    const SourceColours colours = SourceColours::fromSettings(services.appSettings);
    QString letters(textBlock.text().size(), QLatin1Char('.'));
    for (const QTextLayout::FormatRange &range : textBlock.layout()->formats()) {
        const QColor colour = range.format.foreground().color();
        const QChar letter = colour == colourFromRef(colours.keyword)   ? QLatin1Char('K')
                             : colour == colourFromRef(colours.string)  ? QLatin1Char('S')
                             : colour == colourFromRef(colours.comment) ? QLatin1Char('C')
                                                                        : QLatin1Char('?');
        for (int index = range.start; index < range.start + range.length; ++index) {
            letters[index] = letter;
        }
    }
    return letters;
}

} // namespace editors_testing
