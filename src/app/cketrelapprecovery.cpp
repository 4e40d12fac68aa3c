#include "app/cketrelapp.h"

#include "editors/plaintextdocument.h"
#include "framework/doctemplate.h"
#include "framework/frame.h"
#include "framework/privatefolder.h"
#include "framework/prompter.h"
#include "framework/recoverywriter.h"
#include "framework/view.h"

#include <QFileInfo>
#include <QPlainTextEdit>

namespace {

// The most windows the question names one by one.
constexpr int kListedFiles = 20;

QString recoveryQuestion(const QList<fw::RecoveryEntry> &entries) {
    QString text = QStringLiteral("Tarvo did not close properly. Recover %1 unsaved files?\n")
                       .arg(entries.size());
    for (qsizetype index = 0; index < entries.size() && index < kListedFiles; ++index) {
        const fw::RecoveryEntry &entry = entries.at(index);
        text +=
            QLatin1Char('\n')
            + (entry.path.isEmpty() ? entry.title + QStringLiteral(" (never saved)") : entry.path);
    }
    if (entries.size() > kListedFiles) {
        text += QStringLiteral("\n... and %1 more").arg(entries.size() - kListedFiles);
    }
    return text;
}

void makeReadOnly(fw::Document &document) {
    for (fw::View *view : document.views()) {
        if (auto *editor = qobject_cast<QPlainTextEdit *>(view->widget())) {
            editor->setReadOnly(true);
        }
    }
}

} // namespace

void CKetrelApp::StartRecovery() {
    m_recoveryStore =
        std::make_unique<fw::RecoveryStore>(fw::stateRoot() + QStringLiteral("/tarvo/recovery"));
    if (!m_recoveryStore->isOpen()) {
        // Tarvo works on without copies; its windows are saved as before.
        m_recoveryStore.reset();
        return;
    }
    m_recoveryWriter = std::make_unique<fw::RecoveryWriter>(*m_recoveryStore);
    fw::setRecoveryWriter(m_recoveryWriter.get());
}

void CKetrelApp::OfferRecoveredTexts() {
    if (!m_recoveryStore) {
        return;
    }
    const QList<fw::RecoveryEntry> claimed = m_recoveryStore->claimAbandoned();
    if (claimed.isEmpty()) {
        return;
    }
    if (fw::prompter().message(recoveryQuestion(claimed), fw::MessageButtons::YesNo)
        != fw::Answer::Yes) {
        for (const fw::RecoveryEntry &entry : claimed) {
            m_recoveryWriter->remove(entry.id);
        }
        return;
    }
    for (const fw::RecoveryEntry &entry : claimed) {
        RestoreRecoveredText(entry);
    }
}

void CKetrelApp::EndRecovery() {
    if (fw::recoveryWriter() == m_recoveryWriter.get()) {
        fw::setRecoveryWriter(nullptr);
    }
    m_recoveryWriter.reset();
    m_recoveryStore.reset();
}

fw::DocTemplate *CKetrelApp::recoveryTemplate(const QString &kind) const {
    fw::DocTemplate *source = nullptr;
    for (const auto &docTemplate : docTemplates()) {
        if (docTemplate->docName() == kind) {
            return docTemplate.get();
        }
        if (docTemplate->docName() == QLatin1String("Vosk")) {
            source = docTemplate.get();
        }
    }
    return source;
}

void CKetrelApp::RestoreRecoveredText(const fw::RecoveryEntry &entry) {
    fw::DocTemplate *docTemplate = recoveryTemplate(entry.kind);
    if (!docTemplate) {
        return;
    }
    // The window comes back over its file when the file can still be read as a window of its
    // kind; the file itself is left as it is until the user saves.
    PlainTextDocument *document = nullptr;
    const QFileInfo file(entry.path);
    if (!entry.path.isEmpty() && file.isFile() && file.suffix() != QLatin1String("jpr")) {
        document = dynamic_cast<PlainTextDocument *>(openDocumentFile(entry.path));
        // A window of the file that holds other unsaved text (two sessions left copies of the
        // same file) keeps it; this text comes back beside it.
        if (document && document->isModified()) {
            document = nullptr;
        }
    }
    QString textOnDisk;
    const bool changedOnDisk = document && fw::FileStamp::of(entry.path) != entry.diskStamp;
    if (changedOnDisk) {
        textOnDisk = document->editorText();
    }
    if (!document) {
        document = dynamic_cast<PlainTextDocument *>(docTemplate->openDocumentFile(QString()));
        if (!document) {
            return;
        }
        // A file that is gone is written again where it was by the next save; one that exists
        // but could not be opened is not replaced without the user naming it.
        if (!entry.path.isEmpty() && !file.exists()) {
            document->setPathName(entry.path, false);
        }
    }
    document->takeRecoveredText(entry.text, entry.id);
    if (changedOnDisk) {
        ShowTextOnDisk(*docTemplate, entry.path, textOnDisk);
        if (fw::View *view = document->firstView(); view && view->frame()) {
            view->frame()->activateFrame();
        }
    }
}

void CKetrelApp::ShowTextOnDisk(fw::DocTemplate &docTemplate, const QString &path,
                                const QString &text) {
    auto *document = dynamic_cast<PlainTextDocument *>(docTemplate.openDocumentFile(QString()));
    if (!document) {
        return;
    }
    document->setEditorText(text);
    document->setModifiedFlag(false);
    document->setTitle(QFileInfo(path).fileName() + QStringLiteral(" (on disk)"));
    makeReadOnly(*document);
}
