#include "editors/recoverycopy.h"

#include "editors/plaintextdocument.h"
#include "framework/doctemplate.h"
#include "framework/recoverywriter.h"

RecoveryCopy::RecoveryCopy(PlainTextDocument &document)
    : m_document(document) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryCopy::copyNow);
}

RecoveryCopy::~RecoveryCopy() {
    discard();
}

void RecoveryCopy::schedule() {
    // The writer is looked for only when the copy is made: a window may be edited before the
    // application has one.
    if (!m_timer.isActive()) {
        m_timer.start();
    }
}

void RecoveryCopy::discard() {
    m_timer.stop();
    if (fw::RecoveryWriter *writer = fw::recoveryWriter(); writer && !m_entryId.isEmpty()) {
        writer->remove(m_entryId);
    }
}

void RecoveryCopy::copyNow() {
    fw::RecoveryWriter *writer = fw::recoveryWriter();
    if (!writer) {
        return;
    }
    if (!m_document.isModified() || m_document.isClosing()) {
        discard();
        return;
    }
    if (m_entryId.isEmpty()) {
        m_entryId = writer->store().newEntryId();
    }
    fw::RecoveryEntry entry;
    entry.id = m_entryId;
    entry.kind = m_document.docTemplate() ? m_document.docTemplate()->docName() : QString();
    entry.path = m_document.pathName();
    entry.title = m_document.title();
    entry.diskStamp = m_document.diskStamp();
    entry.text = m_document.editorText();
    writer->write(std::move(entry));
}
