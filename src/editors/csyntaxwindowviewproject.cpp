#include "editors/csyntaxwindowview.h"

#include "editors/csyntaxwindowdoc.h"
#include "editors/linenumbermargin.h"
#include "editors/livechecker.h"
#include "editors/sourceproject.h"
#include "framework/prompter.h"
#include "framework/waitcursor.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/javapackage.h"
#include "tools/jdkcommands.h"
#include "tools/runoptions.h"

#include <QDir>
#include <QHelpEvent>
#include <QTextCursor>
#include <QToolTip>

// The source window's dealings with the project: the errors found as the text is typed
// (underlined, with their messages as tooltips), compiling the window's file, adding it to the
// project and showing the project window.

void CSyntaxWindowView::showFindings() {
    CSyntaxWindowDoc *document = sourceDocument();
    if (!document) {
        return;
    }
    QList<QTextEdit::ExtraSelection> underlines;
    for (const LiveChecker::Finding &finding : document->liveChecker().findings()) {
        QTextCharFormat format;
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        format.setUnderlineColor(finding.kind == javaservice::Diagnostic::Kind::Error
                                     ? LineNumberMargin::kErrorMarkColour
                                     : LineNumberMargin::kWarningMarkColour);
        underlines.append({finding.range, format});
    }
    setExtraSelections(underlines);
}

QString CSyntaxWindowView::findingToolTipAt(const QPoint &viewportPosition) const {
    CSyntaxWindowDoc *document = sourceDocument();
    if (!document) {
        return QString();
    }
    const QTextCursor at = cursorForPosition(viewportPosition);
    // The character under the point, not the gap nearest to it.
    const QRect before = cursorRect(at);
    const int position = viewportPosition.x() < before.left() && at.position() > 0
                             ? at.position() - 1
                             : at.position();
    return document->liveChecker().messagesAt(position).join(QStringLiteral("\n\n"));
}

bool CSyntaxWindowView::viewportEvent(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = findingToolTipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, viewport());
        }
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void CSyntaxWindowView::CompileCurrentFile() {
    CSyntaxWindowDoc *document = sourceDocument();
    IdeServices *ide = IdeServices::instance();
    if (!document || !ide) {
        return;
    }
    const QString path = document->pathName();
    if (!jdk::hasSeparator(path)) {
        fw::prompter().message(QStringLiteral("Unholy Error"));
        return;
    }
    const AppSettings &settings = ide->settings();
    if (settings.saveBeforeCompile != 0) {
        ide->SaveAllDocuments();
    }
    fw::WaitCursor wait;
    ide->setToolCaption(QStringLiteral("Compiling \"") + path + QLatin1Char('"'));
    auto *project = dynamic_cast<SourceProject *>(ide->GetProjectDoc());
    const jdk::ToolCommand command =
        jdk::withClassPath(jdk::compileCommandFor(settings.jdkFolder, settings.javacOptions, path,
                                                  jdk::fileNameOf(path)),
                           project ? project->libraries() : QStringList());
    QDir::setCurrent(command.folder);
    if (project) {
        project->StartCompiler(command.program, command.commandLine, command.folder, {path});
    }
}

void CSyntaxWindowView::AddWindowToProject() {
    CSyntaxWindowDoc *document = sourceDocument();
    if (!document) {
        return;
    }
    const QString path = document->pathName();
    if (path.isEmpty()) {
        document->setModifiedFlag(true);
        fw::prompter().message(QStringLiteral("Please save the document first"));
        return;
    }
    IdeServices *ide = IdeServices::instance();
    fw::Document *project = ide ? ide->GetProjectDoc() : nullptr;
    auto *sourceProject = dynamic_cast<SourceProject *>(project);
    if (!sourceProject) {
        return;
    }
    sourceProject->AddFile(path);
    project->setModifiedFlag(true);
    RefreshFunctionList();
    project->updateAllViews(nullptr);
}

void CSyntaxWindowView::ShowProjectWindow() {
    if (IdeServices *ide = IdeServices::instance()) {
        ide->ActivateProjectWindow();
    }
}
