// The application's commands for working with larger code bases: whole folders, the run settings
// and libraries of the open project, and Find in Files.
#include "app/cketrelapp.h"

#include "app/cmainframe.h"
#include "app/findinfiles.h"
#include "editors/plaintextdocument.h"
#include "framework/commandids.h"
#include "framework/doctemplate.h"
#include "framework/view.h"
#include "model/cjavafile.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/jdkcommands.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

// Selects a match in the window of its file: the caret ends after it, and the line is shown.
void selectInWindow(fw::Document *document, const search::Hit &hit) {
    fw::View *view = document ? document->firstView() : nullptr;
    auto *edit = view ? qobject_cast<QPlainTextEdit *>(view->widget()) : nullptr;
    if (!edit) {
        return;
    }
    const QTextBlock block = edit->document()->findBlockByNumber(hit.line - 1);
    if (!block.isValid()) {
        return;
    }
    QTextCursor cursor(block);
    const int start = std::min(hit.column, block.length() - 1);
    cursor.setPosition(block.position() + start);
    cursor.setPosition(block.position() + std::min(start + hit.length, block.length() - 1),
                       QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    edit->centerCursor();
    edit->setFocus();
}

} // namespace

void CKetrelApp::registerCodebaseCommands() {
    m_findInFiles = std::make_unique<FindInFiles>(findInFilesContext());
    addCommand(CommandId::FindInFiles, [this] { m_findInFiles->Run(); });

    // Next and Previous Message go through the find results while they are the list in use.
    const auto goToMessage = [this](bool forward) {
        if (m_findInFiles->isCurrent()) {
            m_findInFiles->GoToResult(forward);
        } else if (CJavaProjectDoc *project = GetProjectDoc()) {
            project->GoToMessage(forward);
        }
    };
    addCommand(CommandId::NextMessage, [goToMessage] { goToMessage(true); });
    addCommand(CommandId::PreviousMessage, [goToMessage] { goToMessage(false); });
    const auto hasMessages = [this](fw::CommandUi &ui) {
        CJavaProjectDoc *project = GetProjectDoc();
        ui.setEnabled(m_findInFiles->isCurrent() || (project && project->HasMessages()));
    };
    addUpdate(CommandId::NextMessage, hasMessages);
    addUpdate(CommandId::PreviousMessage, hasMessages);
}

FindInFiles::Context CKetrelApp::findInFilesContext() {
    FindInFiles::Context context;
    context.projectFiles = [this] {
        QStringList paths;
        if (CJavaProjectDoc *project = GetProjectDoc()) {
            const CJavaFileList &files = project->GetFileList();
            for (int index = 0; index < files.GetCount(); ++index) {
                paths << files.GetAt(index)->GetPath();
            }
        }
        return paths;
    };
    context.projectFolder = [this] {
        CJavaProjectDoc *project = GetProjectDoc();
        return project ? jdk::folderOf(project->pathName()) : QString();
    };
    context.activeFileFolder = [this] {
        fw::Document *active = m_mainFrame ? m_mainFrame->activeDocument() : nullptr;
        const bool isFile =
            active && !active->pathName().isEmpty() && !dynamic_cast<CJavaProjectDoc *>(active);
        return isFile ? jdk::folderOf(active->pathName()) : QString();
    };
    context.selectedText = [this] {
        fw::View *view = m_mainFrame ? m_mainFrame->activeView() : nullptr;
        auto *edit = view ? qobject_cast<QPlainTextEdit *>(view->widget()) : nullptr;
        const QString selected = edit ? edit->textCursor().selectedText() : QString();
        // A selection over a line end is no text to search for.
        return selected.contains(QChar::ParagraphSeparator) ? QString() : selected;
    };
    context.unsavedTexts = [this] {
        QHash<QString, QString> texts;
        for (const std::unique_ptr<fw::DocTemplate> &docTemplate : docTemplates()) {
            for (fw::Document *document : docTemplate->documents()) {
                auto *text = dynamic_cast<PlainTextDocument *>(document);
                if (text && text->isModified() && !text->pathName().isEmpty()) {
                    texts.insert(QDir::cleanPath(QFileInfo(text->pathName()).absoluteFilePath()),
                                 text->editorText());
                }
            }
        }
        return texts;
    };
    context.openHit = [this](const search::Hit &hit) {
        selectInWindow(openDocumentFile(hit.path), hit);
    };
    context.outputMark = [this]() -> qsizetype {
        CJavaProjectDoc *project = GetProjectDoc();
        return project ? project->m_pOutputWnd->ShownSize() : -1;
    };
    context.owner = [this]() -> QWidget * { return m_mainFrame.get(); };
    return context;
}
