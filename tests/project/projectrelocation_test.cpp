#include "project/projectrelocation.h"

#include "support/casename.h"
#include "support/qtprinters.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

using projectrelocation::ProjectPaths;

struct RelocationCase {
    const char *name;
    ProjectPaths stored;
    QString mainFilePath; // as stored; "" when the main file is not in the project
    QString projectFolder;
    QStringList existing;
    ProjectPaths expected;
    int filesFound;
    QStringList missing;
};

class Relocation : public testing::TestWithParam<RelocationCase> {};

TEST_P(Relocation, FindsWhatMovedAndNamesWhatIsGone) {
    const RelocationCase &test = GetParam();
    const QSet<QString> existing(test.existing.begin(), test.existing.end());
    const auto found = projectrelocation::relocate(
        test.stored, projectrelocation::storedProjectFolder(test.stored, test.mainFilePath),
        test.projectFolder, [&](const QString &path) { return existing.contains(path); });
    EXPECT_EQ(found.paths.files, test.expected.files);
    EXPECT_EQ(found.paths.htmlPath, test.expected.htmlPath);
    EXPECT_EQ(found.paths.mainFolder, test.expected.mainFolder);
    EXPECT_EQ(found.filesFound, test.filesFound);
    EXPECT_EQ(found.missing, test.missing);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectRelocation, Relocation,
    testing::Values(
        RelocationCase{"StoredPathsThatExistAreKeptEvenWhenTheNewFolderHasThemToo",
                       {{"/old/p/A.java"}, "/old/p/A.html", "/old/p"},
                       "/old/p/A.java",
                       "/new/p",
                       {"/old/p/A.java", "/old/p/A.html", "/old/p", "/new/p/A.java", "/new/p"},
                       {{"/old/p/A.java"}, "/old/p/A.html", "/old/p"},
                       0,
                       {}},
        RelocationCase{"RenamedFolderIsFoundBesideTheProjectFileSubfoldersIncluded",
                       {{"/old/p/A.java", "/old/p/sub/B.java"}, "/old/p/A.html", "/old/p"},
                       "/old/p/A.java",
                       "/new/q",
                       {"/new/q/A.java", "/new/q/sub/B.java", "/new/q/A.html", "/new/q"},
                       {{"/new/q/A.java", "/new/q/sub/B.java"}, "/new/q/A.html", "/new/q"},
                       3,
                       {}},
        RelocationCase{"PackageFoldersPutTheProjectFileAboveTheMainFilesFolder",
                       {{"/old/p/edu/x/Main.java", "/old/p/edu/util/U.java"}, "", "/old/p/edu/x"},
                       "/old/p/edu/x/Main.java",
                       "/new/p",
                       {"/new/p/edu/x/Main.java", "/new/p/edu/util/U.java", "/new/p/edu/x"},
                       {{"/new/p/edu/x/Main.java", "/new/p/edu/util/U.java"}, "", "/new/p/edu/x"},
                       2,
                       {}},
        RelocationCase{"WindowsPathsOfAnyDriveAndNameCaseAreFound",
                       {{"C:\\Users\\Ann\\Hello\\Hello.java", "c:\\users\\ann\\hello\\lib\\U.java"},
                        "C:\\USERS\\ann\\Hello\\page.html",
                        "c:\\Users\\ann\\hello"},
                       "C:\\Users\\Ann\\Hello\\Hello.java",
                       "/home/bob/Hello",
                       {"/home/bob/Hello/Hello.java", "/home/bob/Hello/lib/U.java",
                        "/home/bob/Hello/page.html", "/home/bob/Hello"},
                       {{"/home/bob/Hello/Hello.java", "/home/bob/Hello/lib/U.java"},
                        "/home/bob/Hello/page.html",
                        "/home/bob/Hello"},
                       3,
                       {}},
        RelocationCase{"WindowsPathsWithForwardSlashesAndNoMainFileUseTheirCommonFolder",
                       {{"d:/course/lab1/src/A.java", "D:/Course/Lab1/src/b/B.java"}, "", ""},
                       "",
                       "/home/bob/lab1",
                       {"/home/bob/lab1/src/A.java", "/home/bob/lab1/src/b/B.java"},
                       {{"/home/bob/lab1/src/A.java", "/home/bob/lab1/src/b/B.java"}, "", ""},
                       2,
                       {}},
        RelocationCase{"FileBesideTheProjectFolderMovesWithTheFolderAboveIt",
                       {{"/home/ann/w/proj/Main.java", "/home/ann/w/shared/Util.java"}, "", ""},
                       "/home/ann/w/proj/Main.java",
                       "/home/bob/w2/proj",
                       {"/home/bob/w2/proj/Main.java", "/home/bob/w2/shared/Util.java"},
                       {{"/home/bob/w2/proj/Main.java", "/home/bob/w2/shared/Util.java"}, "", ""},
                       2,
                       {}},
        RelocationCase{
            "TheFolderFindingTheMostWinsAndTheNearestOnATie",
            {{"/o/p/a/A.java", "/o/p/a/B.java", "/o/p/a/C.java"}, "", "/o/p/a"},
            "/o/p/a/A.java",
            "/n",
            {"/n/A.java", "/n/a/A.java", "/n/a/B.java", "/n/p/a/A.java", "/n/p/a/B.java"},
            {{"/n/a/A.java", "/n/a/B.java", "/o/p/a/C.java"}, "", "/o/p/a"},
            2,
            {"/o/p/a/C.java"}},
        RelocationCase{"FilesFoundNowhereStayAndAreNamedTheHtmlPageLast",
                       {{"/old/p/A.java", "/old/p/Gone.java", "D:\\lib\\Other.java"},
                        "/old/p/gone.html",
                        "/old/p"},
                       "/old/p/A.java",
                       "/new/p",
                       {"/new/p/A.java", "/new/p"},
                       {{"/new/p/A.java", "/old/p/Gone.java", "D:\\lib\\Other.java"},
                        "/old/p/gone.html",
                        "/new/p"},
                       1,
                       {"/old/p/Gone.java", "D:\\lib\\Other.java", "/old/p/gone.html"}},
        RelocationCase{"RelativeStoredPathIsLookedForBesideTheProjectFile",
                       {{"Hello.java"}, "", ""},
                       "Hello.java",
                       "/new/p",
                       {"/new/p/Hello.java"},
                       {{"/new/p/Hello.java"}, "", ""},
                       1,
                       {}}),
    testing_support::CaseName());

} // namespace
