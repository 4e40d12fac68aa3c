#include "framework/application.h"

#include "framework/commandids.h"
#include "framework/doctemplate.h"
#include "framework/document.h"
#include "framework/filechangewatcher.h"
#include "framework/frame.h"
#include "framework/mainwindow.h"
#include "framework/profile.h"
#include "framework/prompter.h"
#include "framework/recentfilelist.h"
#include "framework/view.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QPrinter>
#include <QTimer>

namespace fw {

namespace {
Application *theApplication = nullptr;
}

Application::Application(std::unique_ptr<Profile> profile)
    : m_profile(std::move(profile))
    , m_recentFiles(std::make_unique<RecentFileList>(*m_profile))
    , m_fileWatcher(std::make_unique<FileChangeWatcher>([this] { checkFilesChangedOnDisk(); })) {
    Q_ASSERT(theApplication == nullptr);
    theApplication = this;
    addCommandRange(CommandId::FileRecentFirst, CommandId::FileRecentLast,
                    [this](int id) { openRecentFile(id); });
    for (int id = CommandId::FileRecentFirst; id <= CommandId::FileRecentLast; ++id) {
        addUpdate(id, [this, id](CommandUi &ui) {
            ui.setEnabled(id - CommandId::FileRecentFirst < m_recentFiles->entries().size());
        });
    }
    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    // Asked once the activation has been handled, not in the middle of it.
                    if (state == Qt::ApplicationActive) {
                        QTimer::singleShot(0, this, &Application::checkFilesChangedOnDisk);
                    }
                });
    }
}

Application::~Application() {
    m_templates.clear();
    theApplication = nullptr;
}

Application *Application::instance() {
    return theApplication;
}

QPrinter &Application::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_printer;
}

void Application::addDocTemplate(std::unique_ptr<DocTemplate> docTemplate) {
    m_templates.push_back(std::move(docTemplate));
}

Document *Application::openDocumentFile(const QString &path) {
    return frameworkOpenDocumentFile(path);
}

Document *Application::frameworkOpenDocumentFile(const QString &path) {
    if (path.isEmpty() || m_templates.empty()) {
        return nullptr;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    DocTemplate *best = nullptr;
    DocTemplate::Match bestMatch = DocTemplate::Match::No;
    for (const auto &docTemplate : m_templates) {
        Document *open = nullptr;
        const DocTemplate::Match match = docTemplate->matchDocType(absolute, &open);
        if (match == DocTemplate::Match::AlreadyOpen) {
            if (View *view = open->firstView()) {
                if (Frame *frame = view->frame()) {
                    frame->activateFrame();
                }
            }
            return open;
        }
        if (match > bestMatch) {
            bestMatch = match;
            best = docTemplate.get();
        }
    }
    if (!best) {
        return nullptr;
    }
    return best->openDocumentFile(absolute);
}

bool Application::saveAllModified() {
    for (const auto &docTemplate : m_templates) {
        if (!docTemplate->saveAllModified()) {
            return false;
        }
    }
    return true;
}

void Application::closeAllDocuments() {
    for (const auto &docTemplate : m_templates) {
        docTemplate->closeAllDocuments();
    }
}

void Application::saveAllDocuments() {
    for (const auto &docTemplate : m_templates) {
        docTemplate->saveAllModified();
    }
}

void Application::checkFilesChangedOnDisk() {
    // A question of this check takes the focus and gives it back; that must not ask again. While
    // another dialog is up the check waits for the next activation.
    if (m_checkingFiles || QApplication::activeModalWidget()) {
        return;
    }
    m_checkingFiles = true;
    std::vector<QPointer<Document>> documents;
    for (const auto &docTemplate : m_templates) {
        for (Document *document : docTemplate->documents()) {
            documents.emplace_back(document);
        }
    }
    for (const QPointer<Document> &document : documents) {
        if (document) {
            document->offerReloadIfChangedOnDisk();
        }
    }
    m_checkingFiles = false;
}

void Application::updateWatchedFiles() {
    QStringList files;
    for (const auto &docTemplate : m_templates) {
        for (const Document *document : docTemplate->documents()) {
            if (document->offersReload() && !document->isClosing()
                && !document->diskPath().isEmpty()) {
                files << document->diskPath();
            }
        }
    }
    m_fileWatcher->setFiles(files);
}

QString Application::openFilter() const {
    QString filter;
    for (const auto &docTemplate : m_templates) {
        const QString name = docTemplate->field(DocTemplate::Field::FilterName);
        QStringList patterns;
        for (const QString &extension : docTemplate->extensions()) {
            patterns << QLatin1Char('*') + extension;
        }
        if (!name.isEmpty() && !patterns.isEmpty()) {
            filter += name + QLatin1Char('|') + patterns.join(QLatin1Char(';')) + QLatin1Char('|');
        }
    }
    return filter + QStringLiteral("All Files (*.*)|*.*||");
}

void Application::promptAndOpen() {
    FileDialogOptions options;
    options.filter = openFilter();
    const QStringList chosen = prompter().openFiles(options);
    if (!chosen.isEmpty()) {
        openDocumentFile(chosen.constFirst());
    }
}

void Application::openRecentFile(int id) {
    const int index = id - CommandId::FileRecentFirst;
    const QString path = m_recentFiles->entries().value(index);
    if (path.isEmpty()) {
        return;
    }
    if (!openDocumentFile(path) && !QFileInfo::exists(path)) {
        m_recentFiles->remove(index);
    }
}

} // namespace fw
