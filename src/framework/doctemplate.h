#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace fw {

class Document;
class Frame;

// One kind of document: how to make the document, its frame and view, which files it opens,
// and the documents of that kind that are open. Described by a resource string of seven
// fields separated by "\n": window title, document name, new-file name, filter name, filter
// extension, file type id, file type name. The resource id also names the kind's menu bar
// and accelerator table.
class DocTemplate {
public:
    enum class Field {
        WindowTitle,
        DocName,
        FileNewName,
        FilterName,
        FilterExtension,
        FileTypeId,
        FileTypeName
    };
    // How well a path suits this template, best last.
    enum class Match { No, MaybeForeign, MaybeNative, AlreadyOpen };

    using DocumentFactory = std::function<std::unique_ptr<Document>()>;
    // Makes the frame for a document, with its view set; the frame is not yet shown.
    using FrameFactory = std::function<Frame *(Document &)>;

    DocTemplate(int resourceId, const QString &resourceString, DocumentFactory makeDocument,
                FrameFactory makeFrame);
    ~DocTemplate();

    DocTemplate(const DocTemplate &) = delete;
    DocTemplate &operator=(const DocTemplate &) = delete;

    int resourceId() const { return m_resourceId; }
    QString field(Field field) const;
    QString docName() const { return field(Field::DocName); }
    // Further extensions (with the dot) that open as this kind, beside the filter extension.
    void setExtraExtensions(const QStringList &extensions) { m_extraExtensions = extensions; }
    QStringList extensions() const;

    std::vector<Document *> documents() const;
    Document *firstDocument() const;

    Match matchDocType(const QString &path, Document **openDocument) const;

    // Opens the file in a new document and window, or, with an empty path, makes a new
    // untitled document. Returns the document, or none when it could not be opened (the user
    // has been told why).
    Document *openDocumentFile(const QString &path);
    // Makes, places and shows a new frame (and view) for the document.
    Frame *createNewFrame(Document &document);

    // Runs the save rule of each modified document in turn; false as soon as one says no.
    bool saveAllModified();
    void closeAllDocuments();

    // Takes a closing document out of the template; it is deleted once control returns to the
    // event loop.
    void releaseDocument(Document *document);

private:
    Document *addDocument(std::unique_ptr<Document> document);
    void setDefaultTitle(Document &document);

    int m_resourceId;
    QStringList m_fields;
    QStringList m_extraExtensions;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    std::vector<std::unique_ptr<Document>> m_documents;
    int m_untitledCount = 0;
};

} // namespace fw
