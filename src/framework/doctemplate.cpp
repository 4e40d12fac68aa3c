#include "framework/doctemplate.h"

#include "framework/application.h"
#include "framework/document.h"
#include "framework/frame.h"
#include "framework/mainwindow.h"
#include "framework/view.h"

#include <QFileInfo>

namespace fw {

namespace {
constexpr int kFieldCount = 7;

QString canonical(const QString &path) {
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}
} // namespace

DocTemplate::DocTemplate(int resourceId, const QString &resourceString,
                         DocumentFactory makeDocument, FrameFactory makeFrame)
    : m_resourceId(resourceId)
    , m_fields(resourceString.split(QLatin1Char('\n')))
    , m_makeDocument(std::move(makeDocument))
    , m_makeFrame(std::move(makeFrame)) {
    while (m_fields.size() < kFieldCount) {
        m_fields << QString();
    }
}

DocTemplate::~DocTemplate() {
    // Documents still open when the application ends go with it.
    for (auto &document : m_documents) {
        document->m_template = nullptr;
    }
}

QString DocTemplate::field(Field field) const {
    return m_fields.value(static_cast<int>(field));
}

QStringList DocTemplate::extensions() const {
    QStringList all;
    const QString own = field(Field::FilterExtension);
    if (!own.isEmpty()) {
        all << own;
    }
    all << m_extraExtensions;
    return all;
}

std::vector<Document *> DocTemplate::documents() const {
    std::vector<Document *> list;
    for (const auto &document : m_documents) {
        list.push_back(document.get());
    }
    return list;
}

Document *DocTemplate::firstDocument() const {
    return m_documents.empty() ? nullptr : m_documents.front().get();
}

DocTemplate::Match DocTemplate::matchDocType(const QString &path, Document **openDocument) const {
    *openDocument = nullptr;
    const QString wanted = canonical(path);
    for (const auto &document : m_documents) {
        if (!document->pathName().isEmpty() && canonical(document->pathName()) == wanted) {
            *openDocument = document.get();
            return Match::AlreadyOpen;
        }
    }
    const QString name = QFileInfo(path).fileName();
    for (const QString &extension : extensions()) {
        // Extensions match in any case, as file types do on the desktop.
        if (name.endsWith(extension, Qt::CaseInsensitive) && name.size() > extension.size()) {
            return Match::MaybeNative;
        }
    }
    return Match::MaybeForeign;
}

Document *DocTemplate::openDocumentFile(const QString &path) {
    std::unique_ptr<Document> made = m_makeDocument();
    made->m_template = this;
    if (path.isEmpty()) {
        if (!made->onNewDocument()) {
            return nullptr;
        }
        setDefaultTitle(*made);
    } else {
        if (!made->onOpenDocument(path)) {
            return nullptr;
        }
        made->setPathName(path);
    }
    Document *document = addDocument(std::move(made));
    createNewFrame(*document);
    return document;
}

Frame *DocTemplate::createNewFrame(Document &document) {
    Frame *frame = m_makeFrame(document);
    frame->attachDocument(&document);
    if (Application *application = Application::instance()) {
        if (MainWindow *mainWindow = application->mainWindow()) {
            mainWindow->addFrame(frame, frame->initialGeometry(*mainWindow));
        }
    }
    frame->onCreate();
    if (View *view = frame->view()) {
        view->onInitialUpdate();
    }
    frame->activateFrame();
    return frame;
}

bool DocTemplate::saveAllModified() {
    for (Document *document : documents()) {
        if (!document->saveModified()) {
            return false;
        }
    }
    return true;
}

void DocTemplate::closeAllDocuments() {
    for (Document *document : documents()) {
        document->onCloseDocument();
    }
}

void DocTemplate::releaseDocument(Document *document) {
    for (auto it = m_documents.begin(); it != m_documents.end(); ++it) {
        if (it->get() == document) {
            Document *released = it->release();
            m_documents.erase(it);
            released->m_template = nullptr;
            released->deleteLater();
            released->watchedFileChanged();
            return;
        }
    }
}

Document *DocTemplate::addDocument(std::unique_ptr<Document> document) {
    document->m_template = this;
    m_documents.push_back(std::move(document));
    m_documents.back()->watchedFileChanged();
    return m_documents.back().get();
}

void DocTemplate::setDefaultTitle(Document &document) {
    const QString name = docName();
    document.setTitle(name.isEmpty() ? QStringLiteral("Untitled")
                                     : name + QString::number(++m_untitledCount));
}

} // namespace fw
