#include "app/cketrelapp.h"
#include "editors/plaintextdocument.h"
#include "framework/doctemplate.h"
#include "framework/recoverystore.h"
#include "framework/recoverywriter.h"
#include "framework/view.h"
#include "support/appharness.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/stat.h>

namespace {

using testing_support::AppHarness;
using testing_support::makeScratchFolder;
using testing_support::writeFileIn;

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

using testing_support::processEventsUntil;

// A fresh state folder for the Tarvos a test starts; the folder of their recovery copies.
QString useFreshStateFolder() {
    const QString state = makeScratchFolder(QStringLiteral("state"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(state));
    return state + QStringLiteral("/tarvo/recovery");
}

// The texts of every recovery copy under the folder, whoever owns it.
QStringList copiesIn(const QString &recovery) {
    if (fw::RecoveryWriter *writer = fw::recoveryWriter()) {
        writer->flush();
    }
    QStringList texts;
    QDirIterator files(recovery, {QStringLiteral("*.recovery")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        fw::RecoveryEntry entry;
        if (fw::RecoveryStore::parse(contentsOf(files.next()), &entry)) {
            texts << entry.text;
        }
    }
    texts.sort();
    return texts;
}

// The session a Tarvo left behind when it ended without closing its windows: nobody holds the
// lock of its owner file.
void leaveAbandonedSession(const QString &recovery, const QList<fw::RecoveryEntry> &entries) {
    const QString folder = recovery + QStringLiteral("/session-1-gone");
    QDir().mkpath(folder);
    writeFileIn(folder, QStringLiteral("owner"), "1\n");
    for (qsizetype index = 0; index < entries.size(); ++index) {
        writeFileIn(folder, QString::number(index + 1) + QStringLiteral(".recovery"),
                    fw::RecoveryStore::serialise(entries.at(index)));
    }
}

std::vector<PlainTextDocument *> textDocuments(CKetrelApp &app) {
    std::vector<PlainTextDocument *> documents;
    for (const auto &docTemplate : app.docTemplates()) {
        for (fw::Document *document : docTemplate->documents()) {
            if (auto *text = dynamic_cast<PlainTextDocument *>(document)) {
                documents.push_back(text);
            }
        }
    }
    return documents;
}

// A real Tarvo is started on a source file and an HTML page, text is typed into both windows
// (by a library loaded into it, see windowtyper.cpp) and it is killed. While it runs, another
// start takes none of its copies; after the kill, the next start asks, and both texts come back
// in windows marked modified over files that were never written.
TEST(CrashRecovery, TextsTypedBeforeAKillComeBackModifiedOverUntouchedFiles) {
    const QString recovery = useFreshStateFolder();
    const QString folder = makeScratchFolder(QStringLiteral("killed"));
    const QString source = writeFileIn(folder, QStringLiteral("A.java"), "class A {}\n");
    const QString page = writeFileIn(folder, QStringLiteral("page.html"), "<p>old</p>\n");
    const QString runtime = folder + QStringLiteral("/run");
    QDir().mkpath(runtime);
    ::chmod(QFile::encodeName(runtime).constData(), 0700);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder + QStringLiteral("/home"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TARVO_WINDOW_TYPER));
    // In a sanitizer build the typer would come before the sanitizer's runtime.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS"))
                           + QStringLiteral(":verify_asan_link_order=0"));
    environment.insert(QStringLiteral("TARVO_TEST_WINDOWS"), QStringLiteral("2"));
    environment.insert(QStringLiteral("TARVO_TEST_TYPE"), QStringLiteral("typed "));
    QProcess tarvo;
    tarvo.setProcessEnvironment(environment);
    tarvo.start(QStringLiteral(TARVO_BINARY), {source, page});
    ASSERT_TRUE(tarvo.waitForStarted());
    const QStringList typed{QStringLiteral("typed <p>old</p>\n"),
                            QStringLiteral("typed class A {}\n")};
    const bool copied = processEventsUntil([&] { return copiesIn(recovery) == typed; }, 60000);
    if (!copied) {
        tarvo.kill();
        tarvo.waitForFinished();
    }
    ASSERT_TRUE(copied) << copiesIn(recovery).join(u'|').toStdString()
                        << tarvo.readAllStandardError().toStdString();
    {
        AppHarness running;
        EXPECT_TRUE(running.prompter().messages().empty());
        EXPECT_TRUE(textDocuments(running.app()).empty());
    }
    EXPECT_EQ(copiesIn(recovery), typed);

    ::kill(pid_t(tarvo.processId()), SIGKILL);
    ASSERT_TRUE(tarvo.waitForFinished());
    AppHarness next({}, {}, [](testing_support::ScriptedPrompter &prompter) {
        prompter.answerNext(fw::Answer::Yes);
    });
    // The windows are named in the order they were first copied, which is the typer's.
    ASSERT_EQ(next.prompter().messages().size(), 1u);
    QStringList question = next.prompter().messageTexts().front().split(u'\n');
    std::sort(question.begin() + 2, question.end());
    EXPECT_EQ(question,
              (QStringList{QStringLiteral("Tarvo did not close properly. Recover 2 unsaved files?"),
                           QString(), source, page}));
    QStringList recovered;
    for (PlainTextDocument *document : textDocuments(next.app())) {
        EXPECT_TRUE(document->isModified());
        recovered << document->pathName() + QLatin1Char('=') + document->editorText();
    }
    recovered.sort();
    EXPECT_EQ(recovered, (QStringList{source + QStringLiteral("=typed class A {}\n"),
                                      page + QStringLiteral("=typed <p>old</p>\n")}));
    EXPECT_EQ(contentsOf(source), QByteArray("class A {}\n"));
    EXPECT_EQ(contentsOf(page), QByteArray("<p>old</p>\n"));
}

// A file another program changed since keeps its new text in a read-only window beside the
// recovered one; a text never saved comes back untitled. The recovered copies stay until the
// windows are saved.
TEST(CrashRecovery, ChangedFileIsShownBesideAndUnsavedTextComesBackUntitled) {
    const QString recovery = useFreshStateFolder();
    const QString folder = makeScratchFolder(QStringLiteral("changed"));
    const QString source = writeFileIn(folder, QStringLiteral("B.java"), "class B {}\n");
    const fw::FileStamp before = fw::FileStamp::of(source);
    writeFileIn(folder, QStringLiteral("B.java"), "class B { int theirs; }\n");
    leaveAbandonedSession(recovery, {{{},
                                      QStringLiteral("Vosk"),
                                      source,
                                      QStringLiteral("B.java"),
                                      before,
                                      QStringLiteral("class B { int mine; }\n")},
                                     {{},
                                      QStringLiteral("JavaHTML"),
                                      {},
                                      QStringLiteral("JavaHTML1"),
                                      {},
                                      QStringLiteral("<p>new page</p>")}});

    AppHarness harness({}, {}, [](testing_support::ScriptedPrompter &prompter) {
        prompter.answerNext(fw::Answer::Yes);
    });
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Tarvo did not close properly. Recover 2 unsaved "
                                         "files?\n\n%1\nJavaHTML1 (never saved)")
                              .arg(source)});
    const std::vector<PlainTextDocument *> documents = textDocuments(harness.app());
    ASSERT_EQ(documents.size(), 3u);
    QStringList shown;
    for (PlainTextDocument *document : documents) {
        auto *editor = qobject_cast<QPlainTextEdit *>(document->firstView()->widget());
        shown << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(document->title(), document->pathName(), document->editorText())
                     .arg(document->isModified())
                     .arg(editor->isReadOnly());
    }
    shown.sort();
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("B.java (on disk)||class B { int theirs; }\n|0|1"),
                           QStringLiteral("B.java|%1|class B { int mine; }\n|1|0").arg(source),
                           QStringLiteral("JavaHTML1||<p>new page</p>|1|0")}));
    EXPECT_EQ(contentsOf(source), QByteArray("class B { int theirs; }\n"));
    EXPECT_EQ(copiesIn(recovery).size(), 2);

    harness.prompter().answerNext(fw::Answer::Yes);
    ASSERT_TRUE(harness.app().openDocumentFile(source)->doFileSave());
    EXPECT_EQ(contentsOf(source), QByteArray("class B { int mine; }\n"));
    EXPECT_EQ(copiesIn(recovery), QStringList{QStringLiteral("<p>new page</p>")});
}

TEST(CrashRecovery, DeclinedTextsAreDroppedAndNotOfferedAgain) {
    const QString recovery = useFreshStateFolder();
    leaveAbandonedSession(recovery, {{{},
                                      QStringLiteral("Vosk"),
                                      {},
                                      QStringLiteral("Vosk1"),
                                      {},
                                      QStringLiteral("class C {}")}});
    {
        AppHarness declined;
        EXPECT_EQ(declined.prompter().messages().size(), 1u);
        EXPECT_TRUE(textDocuments(declined.app()).empty());
        EXPECT_TRUE(copiesIn(recovery).isEmpty());
    }
    AppHarness next;
    EXPECT_TRUE(next.prompter().messages().empty());
}

// The copy follows the window: it is there within the delay after typing, and gone once the
// window is saved, undone to its saved text, or closed without saving.
TEST(RecoveryCopies, AreKeptWhileAWindowIsModified) {
    const QString recovery = useFreshStateFolder();
    AppHarness harness;
    const QString path = harness.writeFile(QStringLiteral("D.java"), "class D {}\n");
    fw::Document *document = harness.app().openDocumentFile(path);
    ASSERT_NE(document, nullptr);
    QWidget *editor = document->firstView()->widget();
    const auto copiedAs = [&](const QStringList &texts) {
        return processEventsUntil([&] { return copiesIn(recovery) == texts; }, 3000);
    };
    const QStringList typed{QStringLiteral("xclass D {}\n")};

    QTest::keyClicks(editor, QStringLiteral("x"));
    EXPECT_TRUE(copiedAs(typed));
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(copiedAs({}));
    QTest::keyClicks(editor, QStringLiteral("x"));
    EXPECT_TRUE(copiedAs(typed));
    ASSERT_TRUE(document->doFileSave());
    EXPECT_TRUE(copiedAs({}));
    QTest::keyClicks(editor, QStringLiteral("x"));
    EXPECT_TRUE(copiedAs({QStringLiteral("xxclass D {}\n")}));
    harness.prompter().answerNext(fw::Answer::No);
    ASSERT_TRUE(document->saveModified());
    document->onCloseDocument();
    EXPECT_TRUE(copiedAs({}));
}

} // namespace
