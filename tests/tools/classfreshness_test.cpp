#include "tools/classfreshness.h"

#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using testing_support::writeFileIn;

// javac's -d folder is taken relative to where it runs and extended by the package; without
// one the classes lie beside their source.
TEST(ClassOutputFolder, IsTheDashDFolderAndThePackageOrTheSourcesFolder) {
    EXPECT_EQ(jdk::classOutputFolder("/w/src/A.java", "", "-g", "/w/src"), "/w/src");
    EXPECT_EQ(jdk::classOutputFolder("/w/src/a/b/A.java", "a.b", "-d ../out -g", "/w/src"),
              "/w/out/a/b");
    EXPECT_EQ(jdk::classOutputFolder("/w/src/A.java", "", "-d \"/my classes\"", "/w/src"),
              "/my classes");
}

void setModified(const QString &path, const QDateTime &time) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

// A source changed after one of its class files is newer than its classes; a missing class
// file counts only where the caller says it does (the main file's).
TEST(IsNewerThanClasses, ComparesTheSourceWithTheClassFilesOfItsClasses) {
    const QString folder = testing_support::makeScratchFolder("freshness");
    const QDateTime built = QDateTime::currentDateTime().addSecs(-60);
    const QString source = writeFileIn(folder, "Calc.java", "class Calc {}\n");
    setModified(writeFileIn(folder, "Calc.class", "class"), built);
    setModified(source, built.addSecs(-1));
    EXPECT_FALSE(jdk::isNewerThanClasses(source, folder, {}, true));
    EXPECT_TRUE(jdk::isNewerThanClasses(source, folder, {"Calc", "Gone"}, true));
    EXPECT_FALSE(jdk::isNewerThanClasses(source, folder, {"Calc", "Gone"}, false));
    setModified(source, built.addSecs(1));
    EXPECT_TRUE(jdk::isNewerThanClasses(source, folder, {"Calc"}, false));
}

} // namespace
