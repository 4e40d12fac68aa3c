#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/cchildframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/commandids.h"
#include "framework/fileio.h"
#include "framework/profile.h"
#include "project/cjavaprojectdoc.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"
#include "tools/cprocessoutputdialog.h"
#include "tools/processoutputwindow.h"
#include "tools/processrunner.h"

#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>

#include <sys/stat.h>

namespace {

using testing_support::AppHarness;

const QString kOptions = QStringLiteral("OPTIONS");

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString makePipe(const QString &folder, const QString &name) {
    const QString path = folder + QLatin1Char('/') + name;
    ::mkfifo(QFile::encodeName(path).constData(), 0600);
    return path;
}

QString notRegularMessage(const QString &path) {
    return QStringLiteral("Cannot open %1.\nIt is not a regular file.").arg(path);
}

// Tarvo becomes the active application again, as when the user comes back to it from another
// program.
void activateTarvo() {
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    AppHarness::processEvents();
}

// Each way a file reaches Tarvo, given a pipe that nothing writes to: before, the open blocked
// for ever.
struct OpenRoute {
    const char *name;
    const char *fileName;
    // Opens the file by this route in a running Tarvo, or starts one that does.
    void (*open)(std::unique_ptr<AppHarness> &harness, const QString &path);
};

class PipeOpened : public testing::TestWithParam<OpenRoute> {};

TEST_P(PipeOpened, IsRefusedWithAClearMessage) {
    const QString folder = testing_support::makeScratchFolder(QStringLiteral("pipes"));
    const QString path = makePipe(folder, QString::fromLatin1(GetParam().fileName));
    std::unique_ptr<AppHarness> harness;
    GetParam().open(harness, path);
    EXPECT_EQ(harness->prompter().messageTexts(), QStringList{notRegularMessage(path)});
    EXPECT_EQ(harness->mainFrame().frames().size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Routes, PipeOpened,
    testing::Values(OpenRoute{"CommandLine", "Pipe.java",
                              [](std::unique_ptr<AppHarness> &harness, const QString &path) {
                                  harness = std::make_unique<AppHarness>(QStringList{path});
                              }},
                    OpenRoute{"HandedOver", "Pipe.java",
                              [](std::unique_ptr<AppHarness> &harness, const QString &path) {
                                  harness = std::make_unique<AppHarness>();
                                  harness->app().OpenHandedFiles({path});
                              }},
                    OpenRoute{"FileOpen", "Pipe.java",
                              [](std::unique_ptr<AppHarness> &harness, const QString &path) {
                                  harness = std::make_unique<AppHarness>();
                                  harness->prompter().chooseFilesNext({path});
                                  harness->mainFrame().executeCommand(CommandId::FileOpen);
                              }},
                    OpenRoute{"LastProject", "Pipe.jpr",
                              [](std::unique_ptr<AppHarness> &harness, const QString &path) {
                                  harness = std::make_unique<AppHarness>(
                                      QStringList{}, [&path](fw::Profile &profile) {
                                          profile.writeString(kOptions, QStringLiteral("LASTOPEN"),
                                                              path);
                                      });
                              }}),
    testing_support::CaseName());

TEST(OpenRefused, EndlessDeviceAndOversizedFile) {
    AppHarness harness;
    EXPECT_EQ(harness.app().openDocumentFile(QStringLiteral("/dev/zero")), nullptr);
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{notRegularMessage(QStringLiteral("/dev/zero"))});

    harness.prompter().clear();
    QFile large(harness.folder() + QStringLiteral("/Large.java"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(fw::kMaxOpenFileSize + 1));
    large.close();
    EXPECT_EQ(harness.app().openDocumentFile(large.fileName()), nullptr);
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Cannot open %1.\nThe file is too large to open (129 "
                                         "MB; at most 128 MB can be opened).")
                              .arg(large.fileName())});
    EXPECT_EQ(harness.mainFrame().frames().size(), 0u);
}

// A project file with nothing in it: the file count and five empty strings.
const QByteArray kEmptyProject("\0\0\0\0\0\0\0\0\0", 9);

struct BadProject {
    const char *name;
    // Makes the file below the folder; gives its path and the message expected.
    std::pair<QString, QString> (*make)(AppHarness &harness);
};

class BadProjectWhileOneIsOpen : public testing::TestWithParam<BadProject> {};

// Before, the open project was closed first; then the new file turned out to be unreadable and
// no project was left.
TEST_P(BadProjectWhileOneIsOpen, IsRefusedAndTheOpenProjectStays) {
    AppHarness harness;
    const QString good = harness.writeFile(QStringLiteral("good/Good.jpr"), kEmptyProject);
    fw::Document *open = harness.app().openDocumentFile(good);
    ASSERT_NE(open, nullptr);
    const auto [path, message] = GetParam().make(harness);

    EXPECT_EQ(harness.app().openDocumentFile(path), nullptr);
    AppHarness::processEvents();
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{message});
    EXPECT_EQ(harness.app().GetProjectDoc(), open);
    EXPECT_EQ(harness.mainFrame().frames().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadProjectWhileOneIsOpen,
    testing::Values(BadProject{"DamagedFile",
                               [](AppHarness &harness) {
                                   return std::pair{harness.writeFile(QStringLiteral("D.jpr"),
                                                                      QByteArray("\x01\0\0", 3)),
                                                    QStringLiteral("Unexpected file format.")};
                               }},
                    BadProject{"Pipe",
                               [](AppHarness &harness) {
                                   const QString path =
                                       makePipe(harness.folder(), QStringLiteral("P.jpr"));
                                   return std::pair{path, notRegularMessage(path)};
                               }}),
    testing_support::CaseName());

TEST(ProjectSwitch, ReadableProjectStillAsksBeforeClosingTheOpenOne) {
    AppHarness harness;
    ASSERT_NE(
        harness.app().openDocumentFile(harness.writeFile(QStringLiteral("a/A.jpr"), kEmptyProject)),
        nullptr);
    const QString second = harness.writeFile(QStringLiteral("b/B.jpr"), kEmptyProject);
    harness.prompter().answerNext(fw::Answer::Ok);
    fw::Document *opened = harness.app().openDocumentFile(second);
    ASSERT_NE(opened, nullptr);
    AppHarness::processEvents();
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Do you want to close the current project?")});
    EXPECT_EQ(harness.app().GetProjectDoc(), opened);
}

class ChangedOnDisk : public testing::Test {
protected:
    AppHarness harness;
    QString path = harness.writeFile(QStringLiteral("A.java"), "class A {}\n");
    CSyntaxWindowDoc *document =
        dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(path));

    // Another program writes the file.
    void writeElsewhere(const QByteArray &bytes) {
        harness.writeFile(QStringLiteral("A.java"), bytes);
    }
    void type(const QString &text) { QTest::keyClicks(document->firstSourceView(), text); }
    bool save() { return harness.mainFrame().executeCommand(CommandId::FileSave); }
    QString replaceQuestion() const {
        return QStringLiteral("%1 was changed by another program. Save and replace it?").arg(path);
    }
    QString reloadQuestion() const {
        return QStringLiteral("%1 was changed by another program. Reload it?").arg(path);
    }
};

TEST_F(ChangedOnDisk, SavingOverAnotherProgramsVersionAsksFirst) {
    ASSERT_NE(document, nullptr);
    type(QStringLiteral("x"));
    writeElsewhere("class A { int theirs; }\n");

    harness.prompter().answerNext(fw::Answer::No);
    EXPECT_TRUE(save());
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{replaceQuestion()});
    EXPECT_EQ(contentsOf(path), QByteArray("class A { int theirs; }\n"));
    EXPECT_TRUE(document->isModified());

    harness.prompter().clear();
    harness.prompter().answerNext(fw::Answer::Yes);
    EXPECT_TRUE(save());
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{replaceQuestion()});
    EXPECT_EQ(contentsOf(path), QByteArray("xclass A {}\n"));
    EXPECT_FALSE(document->isModified());

    // Its own last version is overwritten without a question, and so is a file that is gone.
    harness.prompter().clear();
    type(QStringLiteral("y"));
    EXPECT_TRUE(save());
    ASSERT_TRUE(QFile::remove(path));
    type(QStringLiteral("z"));
    EXPECT_TRUE(save());
    EXPECT_TRUE(harness.prompter().messages().empty());
    EXPECT_EQ(contentsOf(path), QByteArray("xyzclass A {}\n"));
}

TEST_F(ChangedOnDisk, UnmodifiedWindowOffersToReloadWhenTarvoIsActivatedAgain) {
    ASSERT_NE(document, nullptr);
    activateTarvo();
    EXPECT_TRUE(harness.prompter().messages().empty());

    writeElsewhere("class B {\n    void f() {}\n}\n");
    harness.prompter().answerNext(fw::Answer::Yes);
    activateTarvo();
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{reloadQuestion()});
    EXPECT_EQ(document->editorText(), QStringLiteral("class B {\n    void f() {}\n}\n"));
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(document->firstSourceView()->childFrame()->functionList()->count(), 2);

    // A version the user chose to keep out is not offered again; saving over it still asks.
    harness.prompter().clear();
    writeElsewhere("class C {}\n");
    harness.prompter().answerNext(fw::Answer::No);
    activateTarvo();
    activateTarvo();
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList{reloadQuestion()});
    EXPECT_EQ(document->editorText(), QStringLiteral("class B {\n    void f() {}\n}\n"));
    type(QStringLiteral("x"));
    harness.prompter().answerNext(fw::Answer::No);
    save();
    EXPECT_EQ(harness.prompter().messageTexts(),
              (QStringList{reloadQuestion(), replaceQuestion()}));
}

TEST_F(ChangedOnDisk, ModifiedWindowIsNotOfferedAReload) {
    ASSERT_NE(document, nullptr);
    type(QStringLiteral("x"));
    writeElsewhere("class B {}\n");
    activateTarvo();
    EXPECT_TRUE(harness.prompter().messages().empty());
    EXPECT_EQ(document->editorText(), QStringLiteral("xclass A {}\n"));
}

// Opens and saves texts without a window, as every source and HTML window does.
class TextFile : public PlainTextDocument {
public:
    using PlainTextDocument::readContents;
    using PlainTextDocument::writeContents;
};

// U+FDD0 and U+FDD1 (like U+2029) split the editor's text into lines; a file holding one came
// back with a line break in its place.
TEST(SourceFileBytes, EveryCharacterComesBackFromOpenAndSaveUnchanged) {
    TextFile file;
    for (char32_t code = 0; code <= 0x10FFFF && !testing::Test::HasFailure();
         code = code < 0xFFFF ? code + 1 : code + 0x1001) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        const QByteArray bytes = "a" + QString::fromUcs4(&code, 1).toUtf8() + "b\n";
        QString error;
        ASSERT_TRUE(file.readContents(bytes, &error));
        EXPECT_EQ(file.writeContents(), bytes) << "U+" << std::hex << unsigned(code);
    }
}

TEST(SourceFileBytes, FrameMarkersSurviveASaveInAWindow) {
    AppHarness harness;
    const QByteArray bytes("// \xEF\xB7\x90 \xEF\xB7\x91 \xC3\xA9\nclass A {}\n");
    const QString path = harness.writeFile(QStringLiteral("A.java"), bytes);
    fw::Document *document = harness.app().openDocumentFile(path);
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(document->doFileSave());
    EXPECT_EQ(contentsOf(path), bytes);
}

TEST(StoredWindowPlace, JunkOutputWindowRectangleKeepsTheWindowOnTheScreen) {
    AppHarness harness({}, [](fw::Profile &profile) {
        profile.writeInt(kOptions, QStringLiteral("DLG_LEFT"), INT_MIN);
        profile.writeInt(kOptions, QStringLiteral("DLG_TOP"), -5);
        profile.writeInt(kOptions, QStringLiteral("DLG_RIGHT"), 2000000000);
        profile.writeInt(kOptions, QStringLiteral("DLG_BOTTOM"), INT_MAX);
    });
    CProcessOutputDialog dialog;
    dialog.Open(nullptr, nullptr);
    ASSERT_NE(dialog.window(), nullptr);
    // The platform may add a frame around the window and move it by the frame's width.
    const QRect available = dialog.window()->screen()->availableGeometry();
    const QRect place = dialog.window()->geometry();
    EXPECT_TRUE(available.contains(place.topLeft())) << place.x() << "," << place.y();
    EXPECT_LE(place.width(), available.width());
    EXPECT_LE(place.height(), available.height());
    dialog.DestroyWindow();
}

} // namespace
