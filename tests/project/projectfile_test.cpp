#include "framework/archive.h"
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "project/projectfile.h"
#include "support/casename.h"
#include "support/testenvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include "support/qtprinters.h"

namespace {

// One file C:\p\A.java with one class A holding the signature f; main file A.java, main
// folder C:\p.
const QByteArray kOneFileProject = QByteArray::fromHex("01000000"
                                                       "01000000"
                                                       "0100"
                                                       "0166"
                                                       "00000000"
                                                       "0141"
                                                       "06412e6a617661"
                                                       "0b433a5c705c412e6a617661"
                                                       "00"
                                                       "06412e6a617661"
                                                       "00"
                                                       "00"
                                                       "04433a5c70"
                                                       "00");

ProjectFileContents oneFileProject() {
    ProjectFileContents project;
    auto javaClass = std::make_unique<CJavaClass>();
    javaClass->SetName(QStringLiteral("A"));
    javaClass->AddMethod(QStringLiteral("f"));
    auto file = std::make_unique<CJavaFile>();
    file->SetFileName(QStringLiteral("A.java"));
    file->SetPath(QStringLiteral("C:\\p\\A.java"));
    file->GetClasses().Add(javaClass);
    project.m_fileList.Add(file);
    project.m_strMainFile = QStringLiteral("A.java");
    project.m_strMainFolder = QStringLiteral("C:\\p");
    return project;
}

TEST(ProjectFile, OneFileProjectIsStoredByteForByte) {
    EXPECT_EQ(kOneFileProject.size(), 53);
    EXPECT_EQ(storeProjectFile(oneFileProject()).toHex(' '), kOneFileProject.toHex(' '));
}

TEST(ProjectFile, EmptyProjectIsNineBytes) {
    EXPECT_EQ(storeProjectFile(ProjectFileContents()).toHex(' '),
              QByteArray("00 00 00 00 00 00 00 00 00"));
}

TEST(ProjectFile, NamesFollowTheFileListInTheirOrder) {
    const QByteArray bytes = QByteArray::fromHex("00000000 016d 0168 0170 0166 016b");
    ProjectFileContents project;
    ASSERT_TRUE(loadProjectFile(bytes, project, nullptr));
    EXPECT_EQ(QStringList({project.m_strMainFile, project.m_strHtmlFile, project.m_strHtmlPath,
                           project.m_strMainFolder, project.m_strPackage}),
              QStringList({"m", "h", "p", "f", "k"}));
    EXPECT_EQ(storeProjectFile(project), bytes);
}

TEST(ProjectFile, EveryTruncationIsRefusedAndLeavesNothingBehind) {
    for (qsizetype size = 0; size < kOneFileProject.size(); ++size) {
        ProjectFileContents project = oneFileProject();
        QString error;
        EXPECT_FALSE(loadProjectFile(kOneFileProject.left(size), project, &error)) << size;
        EXPECT_EQ(error, QStringLiteral("Unexpected file format."));
        EXPECT_EQ(project.m_fileList.GetCount(), 0) << size;
        EXPECT_EQ(project.m_strMainFile, QString()) << size;
    }
}

struct BadFile {
    const char *name;
    QByteArray bytes;
};

class ImpossibleProjectFiles : public testing::TestWithParam<BadFile> {};

TEST_P(ImpossibleProjectFiles, AreRefused) {
    ProjectFileContents project;
    QString error;
    EXPECT_FALSE(loadProjectFile(GetParam().bytes, project, &error));
    EXPECT_EQ(error, QStringLiteral("Unexpected file format."));
}

// A class record with no signatures, the given inner records, and the name "C".
QByteArray classRecord(int innerCount, const QByteArray &inner = {}) {
    QByteArray count(4, '\0');
    count[0] = static_cast<char>(innerCount & 0xFF);
    count[1] = static_cast<char>(innerCount >> 8);
    return QByteArray::fromHex("0000") + count + inner + QByteArray::fromHex("0143");
}

QByteArray nestedClasses(int depth) {
    QByteArray record = classRecord(0);
    for (int level = 1; level < depth; ++level) {
        record = classRecord(1, record);
    }
    return QByteArray::fromHex("01000000 01000000") + record + QByteArray(8, '\0');
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, ImpossibleProjectFiles,
    testing::Values(
        BadFile{"FileCountAbove255", QByteArray::fromHex("00010000") + QByteArray(5, '\0')},
        BadFile{"NegativeFileCount", QByteArray::fromHex("ffffffff") + QByteArray(5, '\0')},
        BadFile{"ClassCountAbove255",
                QByteArray::fromHex("01000000 00010000") + QByteArray(1000, '\0')},
        BadFile{"InnerClassesNestedDeeperThanTheLimit",
                nestedClasses(fw::Archive::kMaxNestingDepth + 1)}),
    testing_support::CaseName());

struct StoredFile {
    const char *name;
    QByteArray bytes;
    qsizetype trailing;
};

class StoredFiles : public testing::TestWithParam<StoredFile> {};

// Storing what was loaded gives the same bytes back, so every field was read as it stands.
TEST_P(StoredFiles, ReadBackToTheSameBytes) {
    ProjectFileContents project;
    ASSERT_TRUE(loadProjectFile(GetParam().bytes, project, nullptr));
    EXPECT_EQ(storeProjectFile(project).toHex(' '),
              GetParam().bytes.chopped(GetParam().trailing).toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, StoredFiles,
    testing::Values(
        StoredFile{"OneFileProject", kOneFileProject, 0},
        StoredFile{"BytesAfterTheLastFieldAreIgnored", kOneFileProject + "tail", 4},
        StoredFile{"ExtraStringIsKept", QByteArray(kOneFileProject).replace(37, 1, "\x03xyz"), 0},
        // A character beyond Latin-1 is stored in UTF-8; one byte a character otherwise.
        StoredFile{"Utf8Strings", QByteArray::fromHex("00000000 02d0af 00 00 00 00"), 0},
        StoredFile{"EightBitStringsGoBackAsTheyCame",
                   QByteArray::fromHex("00000000 0341e92e 00 00 00 00"), 0},
        StoredFile{"InnerClassesNestedUpToTheLimit", nestedClasses(fw::Archive::kMaxNestingDepth),
                   0}),
    testing_support::CaseName());

TEST(ProjectFile, FullProjectSurvivesARealFile) {
    ProjectFileContents project;
    for (int i = 0; i < CJavaList::kCapacity; ++i) {
        auto file = std::make_unique<CJavaFile>();
        file->SetPath(QStringLiteral("/p/%1/F.java").arg(QString(i + 200, u'\u00e4')));
        project.m_fileList.Add(file);
    }
    project.m_strPackage = QStringLiteral("pack.age");
    const QString path =
        testing_support::makeScratchFolder(QStringLiteral("project")) + QStringLiteral("/Full.jpr");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(storeProjectFile(project));
    out.close();

    QFile in(path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    ProjectFileContents loaded;
    ASSERT_TRUE(loadProjectFile(in.readAll(), loaded, nullptr));
    ASSERT_EQ(loaded.m_fileList.GetCount(), 255);
    EXPECT_EQ(loaded.m_fileList.GetAt(254)->GetPath(), project.m_fileList.GetAt(254)->GetPath());
    EXPECT_EQ(loaded.m_strPackage, QStringLiteral("pack.age"));
}

} // namespace
