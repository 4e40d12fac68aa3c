#include "editors/csyntaxwindowview.h"

#include "editors/breakpointmarks.h"
#include "editors/cchildframe.h"
#include "editors/cgotolinedialog.h"
#include "editors/colourclassstore.h"
#include "editors/completionsources.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/linejump.h"
#include "editors/linemarks.h"
#include "editors/linenumbermargin.h"
#include "editors/livechecker.h"
#include "editors/longlines.h"
#include "editors/plaintextediting.h"
#include "editors/sourcehighlighter.h"
#include "editors/sourceproject.h"
#include "editors/sourcetext.h"
#include "editors/syntaxcolouring.h"
#include "framework/commandids.h"
#include "framework/findreplacedialog.h"
#include "framework/prompter.h"
#include "framework/texteditcommands.h"
#include "framework/waitcursor.h"
#include "model/scansink.h"
#include "services/appsettings.h"
#include "services/ideservices.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMarginsF>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// Half an inch on every side of a printed page.
const QMarginsF kPrintMargins(12.7, 12.7, 12.7, 12.7);
// An undo or redo that touches more lines than this colours the whole text again.
constexpr int kMostLinesRecolouredByLine = 2000;
constexpr QChar kTab = u'\t';
constexpr QChar kEnter = u'\r';

IdeServices *services() {
    return IdeServices::instance();
}

fw::Document *openProject() {
    IdeServices *ide = services();
    return ide ? ide->GetProjectDoc() : nullptr;
}

// The character a key types, as the editor receives it: CR for Enter, a tab for Tab and
// Shift+Tab; none for a key that types nothing.
QChar typedCharacter(const QKeyEvent &event) {
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kTab;
    default:
        return event.text().isEmpty() ? QChar() : event.text().front();
    }
}

// The position just past a line's last character, before its line break.
int lineEnd(const QTextBlock &block) {
    return block.position() + block.length() - 1;
}

} // namespace

CSyntaxWindowView::CSyntaxWindowView() {
    registerCommands();
    m_margin =
        LineNumberMargin::attach(this, [this](int width) { setViewportMargins(width, 0, 0, 0); });
    attachCompletion(*this);
}

CSyntaxWindowView::~CSyntaxWindowView() = default;

CSyntaxWindowDoc *CSyntaxWindowView::sourceDocument() const {
    return dynamic_cast<CSyntaxWindowDoc *>(doc());
}

CChildFrame *CSyntaxWindowView::childFrame() const {
    return dynamic_cast<CChildFrame *>(frame());
}

ColourClassStore *CSyntaxWindowView::colourClasses() const {
    CSyntaxWindowDoc *document = sourceDocument();
    return document ? &document->colourClasses() : nullptr;
}

void CSyntaxWindowView::registerCommands() {
    fw::installTextEditCommands(*this, *this);
    addCommand(CommandId::EditUndo, [this] { UndoOrRedo(false); });
    addCommand(CommandId::EditRedo, [this] { UndoOrRedo(true); });
    // Find moves the selection while its dialog has the focus: the line pane follows it.
    connect(&fw::SearchEvents::instance(), &fw::SearchEvents::selectionMoved, this,
            [this](QPlainTextEdit *editor) {
                if (editor == this) {
                    ShowLineNumber();
                }
            });
    // Printed pages show the colours, with half-inch margins.
    addCommand(CommandId::FilePrint, [this] {
        const std::unique_ptr<QTextDocument> pages = printableDocument();
        fw::printDocument(*pages, this, kPrintMargins);
    });
    addCommand(CommandId::FilePrintPreview, [this] {
        const std::unique_ptr<QTextDocument> pages = printableDocument();
        fw::previewDocument(*pages, this, kPrintMargins);
    });
    addCommand(CommandId::SyntaxColourUpdate, [this] { ColourAll(true); });
    addCommand(CommandId::Compile, [this] { CompileCurrentFile(); });
    addCommand(CommandId::RefreshFunctionList, [this] { RefreshFunctionList(); });
    addCommand(CommandId::IncreaseIndent, [this] { IndentSelection(); });
    addCommand(CommandId::DecreaseIndent, [this] { OutdentSelection(); });
    addCommand(CommandId::Font, [this] { ChooseFont(); });
    addCommand(CommandId::ConvertLinebreaks, [this] { ConvertLinebreaks(); });
    addCommand(CommandId::AddWindowToProject, [this] { AddWindowToProject(); });
    addCommand(CommandId::ShowProjectWindow, [this] { ShowProjectWindow(); });
    // What the document's JumpToLine does for its first view, done in this window, which may be
    // a second one of the document.
    editors::installGoToLineCommand(
        *this, *this, [this](int line) { JumpToLine(line, editors::kFirstNonBlank); });
    const auto projectOpen = [](fw::CommandUi &ui) { ui.setEnabled(openProject() != nullptr); };
    addUpdate(CommandId::AddWindowToProject, projectOpen);
    addUpdate(CommandId::ShowProjectWindow, projectOpen);
}

void CSyntaxWindowView::onInitialUpdate() {
    // Lines are never wrapped; set before the text is given, since every change of the mode
    // lays the whole text out again.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    editors::showWholeLinesOnDoubleClick(*this);
    if (CSyntaxWindowDoc *document = sourceDocument()) {
        // The view takes the document before its text, so that Qt does not lay out every line
        // of it at once; from then on only the lines shown are laid out.
        setDocument(document->viewDocument());
        document->fillPendingText();
        // The text went in at the cursor, which it pushed to its end: the cursor starts at the
        // top, as in a document opened full.
        setTextCursor(QTextCursor(document->viewDocument()));
        connect(&document->highlighter(), &SourceHighlighter::linesChanged, viewport(),
                qOverload<>(&QWidget::update));
        // A file opened after a compile shows the marks that compile left on it.
        auto *project = dynamic_cast<SourceProject *>(openProject());
        if (project && document->firstSourceView() == this && document->lineMarks().isEmpty()
            && !document->pathName().isEmpty()) {
            document->lineMarks().setMarks(project->CompilerMarksOf(document->pathName()));
        }
        m_margin->setLineMarks(&document->lineMarks());
        m_margin->setBreakpoints(&document->breakpoints());
        connect(&document->liveChecker(), &LiveChecker::findingsChanged, this,
                &CSyntaxWindowView::showFindings);
        showFindings();
    }
    applyViewFont(editors::storedSourceFont());
    // Normal text is black, whatever the desktop's colours.
    QPalette colours = palette();
    colours.setColor(QPalette::Text, Qt::black);
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);
    if (CChildFrame *bar = childFrame()) {
        connect(bar->functionList(), &QComboBox::activated, this, &CSyntaxWindowView::ChooseEntry);
    }
    ColourAndScanRead();
}

void CSyntaxWindowView::ColourAndScanRead() {
    CSyntaxWindowDoc *document = sourceDocument();
    if (!document) {
        return;
    }
    const bool coloured = document->takeColouredOnRead();
    CChildFrame *bar = childFrame();
    bool scanned = false;
    if (bar) {
        bar->clearEntries();
        scanned = document->takeScanOfRead(dynamic_cast<ScanSink *>(openProject()));
        if (scanned) {
            bar->addEntries(document->entries());
        }
    }
    if (coloured && (scanned || !bar)) {
        viewport()->update();
        return;
    }
    // One copy of the text serves both the colouring and the scan.
    const QString text = editors::toCrLfText(document->shownText());
    if (!coloured) {
        colourText(text, true);
    }
    if (!scanned) {
        scanText(text);
    }
}

int CSyntaxWindowView::lineCount() const {
    return document()->blockCount();
}

void CSyntaxWindowView::ColourAll(bool suppressRedraw) {
    if (CSyntaxWindowDoc *document = sourceDocument()) {
        colourText(editors::toCrLfText(document->shownText()), suppressRedraw);
    }
}

void CSyntaxWindowView::colourText(const QString &crLfText, bool suppressRedraw) {
    fw::WaitCursor wait;
    if (suppressRedraw) {
        viewport()->setUpdatesEnabled(false);
    }
    // The runs are applied as they are found, without a list of them all.
    const editors::ColourClasses classes = editors::classifyWholeText(crLfText);
    const qsizetype length = qsizetype(classes.size());
    qsizetype from = 0;
    for (qsizetype index = 1; index <= length; ++index) {
        if (index == length || classes[index] != classes[from]) {
            ApplyRun(0, classes[from], from, index);
            from = index;
        }
    }
    drawChangedLines();
    if (suppressRedraw) {
        viewport()->setUpdatesEnabled(true);
        viewport()->update();
    }
}

void CSyntaxWindowView::ColourCurrentLine() {
    if (!colourClasses()) {
        return;
    }
    colourLine(document()->findBlock(textCursor().selectionStart()));
    drawChangedLines();
}

std::unique_ptr<QTextDocument> CSyntaxWindowView::printableDocument() const {
    std::unique_ptr<QTextDocument> pages(document()->clone());
    pages->setDefaultFont(m_viewFont);
    CSyntaxWindowDoc *source = sourceDocument();
    if (!source) {
        return pages;
    }
    // The colours live in the view's layout only: a copy of the text carries them as formats.
    const ColourClassStore &store = source->colourClasses();
    QTextCursor cursor(pages.get());
    cursor.beginEditBlock();
    for (QTextBlock block = pages->begin(); block.isValid(); block = block.next()) {
        if (block.blockNumber() >= store.lineCount()) {
            break;
        }
        for (const editors::ColourRun &run :
             editors::colourRuns(store.lineClasses(block.blockNumber()))) {
            if (run.colourClass == editors::ColourClass::Normal) {
                continue;
            }
            cursor.setPosition(block.position() + int(run.from));
            cursor.setPosition(block.position() + int(run.to), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(source->highlighter().format(run.colourClass));
        }
    }
    cursor.endEditBlock();
    return pages;
}

void CSyntaxWindowView::UndoOrRedo(bool redo) {
    runEdit([this, redo] {
        if (redo) {
            QPlainTextEdit::redo();
        } else {
            QPlainTextEdit::undo();
        }
    });
}

void CSyntaxWindowView::runEdit(const std::function<void()> &edit) {
    ColourClassStore *store = colourClasses();
    const int resetsBefore = store ? store->resetCount() : 0;
    int first = -1;
    int last = -1;
    const QMetaObject::Connection tracking = connect(
        document(), &QTextDocument::contentsChange, this, [&](int position, int, int added) {
            first = first < 0 ? position : std::min(first, position);
            last = std::max(last, position + added);
        });
    edit();
    disconnect(tracking);
    if (!store || first < 0) {
        return;
    }
    // The changed text has no colours of its own: colour the lines it touched, or the whole
    // text when the store could not follow the change line by line.
    const int firstLine = document()->findBlock(first).blockNumber();
    const int lastLine = document()->findBlock(last).blockNumber();
    if (store->resetCount() != resetsBefore || lastLine - firstLine >= kMostLinesRecolouredByLine) {
        ColourAll(false);
        return;
    }
    for (int line = firstLine; line <= lastLine; ++line) {
        colourLine(document()->findBlockByNumber(line));
    }
    drawChangedLines();
}

void CSyntaxWindowView::colourLine(const QTextBlock &block) {
    const int line = block.blockNumber();
    const qsizetype base = editors::crLfOffsetFromPosition(block.position(), line);
    const bool open = IsInBlockComment(base);
    const bool inTextBlock = colourClasses()->isInTextBlockAtLineStart(line);
    const editors::ColourClasses classes =
        editors::classifyLine(editors::toCrLfText(block.text()), open, inTextBlock);
    for (const editors::ColourRun &run : editors::colourRuns(classes)) {
        ApplyRun(base, run.colourClass, run.from, run.to);
    }
}

bool CSyntaxWindowView::ApplyRun(qsizetype base, editors::ColourClass colourClass, qsizetype from,
                                 qsizetype to) {
    ColourClassStore *store = colourClasses();
    return store && store->applyRun(base + from, base + to, colourClass);
}

void CSyntaxWindowView::drawChangedLines() {
    if (CSyntaxWindowDoc *document = sourceDocument()) {
        document->highlighter().refreshLines(document->colourClasses().takeDirtyLines());
    }
}

void CSyntaxWindowView::drawVisibleLines() {
    CSyntaxWindowDoc *document = sourceDocument();
    if (!document) {
        return;
    }
    fw::forEachShownBlock(
        *this, [document](QTextBlock block) { document->highlighter().drawBlock(block); });
}

void CSyntaxWindowView::resizeEvent(QResizeEvent *event) {
    QResizeEvent passed = fw::widthChangeForQt(*this, *event);
    QPlainTextEdit::resizeEvent(&passed);
}

QMimeData *CSyntaxWindowView::createMimeDataFromSelection() const {
    const editors::LongLines *lines = editors::LongLines::find(*document());
    if (!lines || !lines->hasHiddenEnds()) {
        return QPlainTextEdit::createMimeDataFromSelection();
    }
    QString text =
        lines->wholeTextBetween(textCursor().selectionStart(), textCursor().selectionEnd());
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    auto *data = new QMimeData;
    data->setText(text);
    return data;
}

void CSyntaxWindowView::paintEvent(QPaintEvent *event) {
    drawVisibleLines();
    QPlainTextEdit::paintEvent(event);
    editors::paintHiddenEndNotes(*this);
}

bool CSyntaxWindowView::IsInBlockComment(qsizetype offset) const {
    ColourClassStore *store = colourClasses();
    if (!store) {
        return false;
    }
    // The part of the offset's own line before it, then the lines above: the delimiters hold
    // no line break, so the nearest one before the offset decides.
    const ColourClassStore::LinePosition at = store->lineAt(offset);
    const QString text = document()->findBlockByNumber(at.line).text();
    const qsizetype within = std::clamp<qsizetype>(offset - at.crLfStart, 0, text.size());
    switch (editors::lastCommentMarker(QStringView(text).first(within))) {
    case editors::CommentMarker::Open:
        return true;
    case editors::CommentMarker::Close:
        return false;
    case editors::CommentMarker::None:
        break;
    }
    return store->isOpenAtLineStart(at.line);
}

void CSyntaxWindowView::AutoIndent(QChar character) {
    if (character == kEnter) {
        editors::repeatIndentationOfLineAbove(*this);
    }
}

void CSyntaxWindowView::IndentSelection() {
    editors::indentSelectedLines(*this, editors::SelectionEndLine::CharacterBeforeEnd, true);
}

void CSyntaxWindowView::OutdentSelection() {
    editors::outdentSelectedLines(*this, editors::SelectionEndLine::CharacterBeforeEnd);
}

void CSyntaxWindowView::ConvertLinebreaks() {
    if (CSyntaxWindowDoc *document = sourceDocument()) {
        document->ConvertLinebreaks();
        ColourAll(false);
    }
}

void CSyntaxWindowView::ChooseFont() {
    if (const std::optional<QFont> chosen = editors::chooseSourceFont(m_viewFont)) {
        applyViewFont(*chosen);
    }
}

void CSyntaxWindowView::applyViewFont(const QFont &font) {
    m_viewFont = font;
    // Source text needs no shaping (no ligatures, no joined scripts in code); without it a
    // line is laid out many times faster, which keeps a line of a megabyte workable.
    QFont shown = m_viewFont;
    shown.setStyleStrategy(QFont::PreferNoShaping);
    editors::setViewFont(*this, shown);
}

void CSyntaxWindowView::inputMethodEvent(QInputMethodEvent *event) {
    QPlainTextEdit::inputMethodEvent(event);
    // Text composed with an input method (dead keys, compose sequences) is typed text too.
    if (!event->commitString().isEmpty()) {
        ColourCurrentLine();
    }
}

void CSyntaxWindowView::focusInEvent(QFocusEvent *event) {
    QPlainTextEdit::focusInEvent(event);
    // The line pane follows the window the user works in.
    ShowLineNumber();
}

void CSyntaxWindowView::ShowLineNumber() {
    if (IdeServices *ide = services()) {
        ide->setLineText(QStringLiteral("Line: %1").arg(textCursor().blockNumber() + 1));
    }
}

void CSyntaxWindowView::SelectLine(int line) {
    // A line outside the text selects the nearest line there is.
    const QTextBlock block = document()->findBlockByNumber(std::clamp(line, 0, lineCount() - 1));
    QTextCursor selection(document());
    selection.setPosition(block.position());
    selection.setPosition(lineEnd(block), QTextCursor::KeepAnchor);
    setTextCursor(selection);
    ShowLineNumber();
}

void CSyntaxWindowView::JumpToLine(int line, int column) {
    editors::jumpToLine(*this, line, column);
    ShowLineNumber();
}

void CSyntaxWindowView::SelectLineAt(int offset) {
    if (ColourClassStore *store = colourClasses()) {
        // Shown as a jump to a message is: highlighted, the caret at its first non-blank, and
        // nothing selected that the next key would replace.
        JumpToLine(store->lineAt(offset).line, editors::kFirstNonBlank);
    }
}

void CSyntaxWindowView::RefreshFunctionList() {
    if (CSyntaxWindowDoc *document = sourceDocument()) {
        scanText(editors::toCrLfText(document->shownText()));
    }
}

void CSyntaxWindowView::scanText(const QString &crLfText) {
    CSyntaxWindowDoc *document = sourceDocument();
    CChildFrame *bar = childFrame();
    if (!document || !bar) {
        return;
    }
    bar->clearEntries();
    document->ScanSource(crLfText, document->pathName(), dynamic_cast<ScanSink *>(openProject()));
    bar->addEntries(document->entries());
}

void CSyntaxWindowView::ChooseEntry(int index) {
    CSyntaxWindowDoc *document = sourceDocument();
    if (!document || index < 0) {
        return;
    }
    const int offset = document->entryOffset(index);
    if (offset >= 0) {
        SelectLineAt(offset);
    }
}

void CSyntaxWindowView::keyPressEvent(QKeyEvent *event) {
    const bool tabKey = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    const bool shift =
        event->modifiers().testFlag(Qt::ShiftModifier) || event->key() == Qt::Key_Backtab;
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool enterKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (tabKey && plain && textCursor().hasSelection()) {
        // Tab over a selection indents its lines instead of replacing it.
        if (shift) {
            OutdentSelection();
        } else {
            IndentSelection();
        }
        ensureCursorVisible();
    } else if (event->key() == Qt::Key_Backtab && plain) {
        // Shift+Tab types a tab, as Tab does.
        QTextCursor cursor = textCursor();
        cursor.insertText(QString(kTab));
        setTextCursor(cursor);
    } else if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        UndoOrRedo(event->matches(QKeySequence::Redo));
        return;
    } else if (enterKey && !plain) {
        // Ctrl+Enter and Alt+Enter type nothing, so there is no new line to indent.
        QPlainTextEdit::keyPressEvent(event);
        return;
    } else if (enterKey && shift) {
        // Shift+Enter would insert a line separator that looks like a line break but is saved
        // as a character inside the line: it breaks the line as Enter does.
        QKeyEvent enter(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&enter);
        AutoIndent(kEnter);
    } else {
        QPlainTextEdit::keyPressEvent(event);
        const QChar typed = typedCharacter(*event);
        if (typed.isNull()) {
            return;
        }
        AutoIndent(typed);
    }
    ColourCurrentLine();
}

void CSyntaxWindowView::keyReleaseEvent(QKeyEvent *event) {
    QPlainTextEdit::keyReleaseEvent(event);
    ensureCursorVisible();
    ShowLineNumber();
}

void CSyntaxWindowView::mousePressEvent(QMouseEvent *event) {
    // The line shown is the one the caret was on before the click.
    if (event->button() == Qt::LeftButton) {
        ShowLineNumber();
    }
    QPlainTextEdit::mousePressEvent(event);
}
