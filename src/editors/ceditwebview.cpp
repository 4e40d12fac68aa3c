#include "editors/ceditwebview.h"

#include "editors/cgotolinedialog.h"
#include "editors/webproject.h"
#include "framework/commandids.h"
#include "framework/document.h"
#include "framework/prompter.h"
#include "services/ideservices.h"

#include <QDesktopServices>
#include <QTextCursor>
#include <QUrl>

namespace {

fw::Document *openProject() {
    IdeServices *ide = IdeServices::instance();
    return ide ? ide->GetProjectDoc() : nullptr;
}

} // namespace

CEditWebView::CEditWebView() {
    addCommand(CommandId::InsertApplet, [this] { InsertApplet(); });
    addUpdate(CommandId::InsertApplet,
              [](fw::CommandUi &ui) { ui.setEnabled(openProject() != nullptr); });
    addCommand(CommandId::OpenInWebBrowser, [this] { OpenInBrowser(); });
    // Edit > "Go to Line..." selects the line asked for.
    editors::installGoToLineCommand(*this, *this);
}

CEditWebView::~CEditWebView() = default;

QString CEditWebView::AppletTag(const QString &mainFile) {
    const QString classFile =
        QString(mainFile).replace(QStringLiteral(".java"), QStringLiteral(".class"));
    return QStringLiteral("\r\n<APPLET CODE=\"") + classFile
           + QStringLiteral("\" \r\n\tWIDTH=300\r\n\tHEIGHT=300>\r\n") + QStringLiteral("Applet ")
           + classFile + QStringLiteral("\r\n</APPLET>\r\n");
}

void CEditWebView::InsertApplet() {
    auto *project = dynamic_cast<WebProject *>(openProject());
    if (!project) {
        return;
    }
    const QString mainFile = project->mainFile();
    if (mainFile.isEmpty()) {
        fw::prompter().message(QStringLiteral("Please set the applet class as main."));
        return;
    }
    // The tag's line breaks are the page's own: the editor holds each as one '\n', and saving
    // writes CR LF in a CR LF page.
    const QString tag = AppletTag(mainFile).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(tag);
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void CEditWebView::OpenInBrowser() {
    // The page as last saved: what the editor holds now is not written first.
    const QString path = doc() ? doc()->pathName() : QString();
    if (path.isEmpty()) {
        fw::prompter().message(QStringLiteral("Please save the document first"));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        fw::prompter().message(
            QStringLiteral("No web browser could be started to open %1.\n\nInstall a web browser, "
                           "or choose the program that opens HTML files in your desktop's "
                           "settings.")
                .arg(path));
    }
}
