#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class PlainTextDocument;

// Keeps the recovery copy of one plain-text document while it is modified: an edit has its text
// handed to the application's recovery writer within kDelayMs (continuous typing is copied every
// kDelayMs, not only once it stops), and the copy is removed as soon as the document is no
// longer modified (saved, reverted, undone to the saved text), when its contents are dropped
// (closed, or read anew) and when it is destroyed. Without a writer nothing is kept.
class RecoveryCopy : public QObject {
    Q_OBJECT

public:
    static constexpr int kDelayMs = 1000;

    explicit RecoveryCopy(PlainTextDocument &document);
    ~RecoveryCopy() override;

    // Goes on with an entry taken over from an earlier session, so that its copy stays until
    // this document writes its own.
    void adopt(const QString &entryId) { m_entryId = entryId; }
    // The document changed: its text is copied within kDelayMs.
    void schedule();
    // The copy is removed now.
    void discard();

private:
    void copyNow();

    PlainTextDocument &m_document;
    QTimer m_timer;
    QString m_entryId;
};
