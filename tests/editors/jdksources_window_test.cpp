// Files of the installed JDK's own sources (src.zip), opened in a real offscreen source window:
// the colours and the function list a Java programmer expects of today's Java. Skipped where no
// src.zip (or no unzip to read it) is installed.
#include "editors/cchildframe.h"
#include "editors/colourclassstore.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"

#include "sourcewindowfixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

using editors_testing::RecordingProject;
using editors_testing::SourceWindow;

QString jdkSourceZip() {
    const QDir jvms(QStringLiteral("/usr/lib/jvm"));
    for (const QString &jdk : jvms.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString zip = jvms.filePath(jdk + QStringLiteral("/lib/src.zip"));
        if (QFile::exists(zip)) {
            return zip;
        }
    }
    return {};
}

// The bytes of a member of the JDK's src.zip, or nothing.
QByteArray jdkSource(const QString &member) {
    const QString zip = jdkSourceZip();
    if (zip.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty()) {
        return {};
    }
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    unzip.waitForFinished(60000);
    return unzip.readAllStandardOutput();
}

int lineHolding(const SourceWindow &window, const QString &text) {
    const QStringList lines = window.text().split(u'\n');
    for (int line = 0; line < lines.size(); ++line) {
        if (lines[line].contains(text)) {
            return line;
        }
    }
    return -1;
}

QStringList functionList(const SourceWindow &window) {
    QStringList items;
    for (int index = 0; index < window.frame()->functionList()->count(); ++index) {
        items << window.frame()->functionList()->itemText(index);
    }
    return items;
}

// Typing on each line colours it as the whole text was coloured on opening.
void expectLinePassAgreesOnEveryLine(const SourceWindow &window) {
    const ColourClassStore &store = window.document()->colourClasses();
    std::vector<editors::ColourClasses> opened;
    for (int line = 0; line < store.lineCount(); ++line) {
        opened.push_back(store.lineClasses(line));
    }
    for (int line = 0; line < store.lineCount(); ++line) {
        const int start = window.block(line).position();
        window.setCursor(start, start);
        window.view()->ColourCurrentLine();
        ASSERT_EQ(store.lineClasses(line), opened[line])
            << "line " << line + 1 << ": " << window.block(line).text().toStdString();
    }
}

TEST(JdkSourceWindows, EnumTimeUnitListsItsConstructorAndMethodsNotItsConstants) {
    const QByteArray bytes =
        jdkSource(QStringLiteral("java.base/java/util/concurrent/TimeUnit.java"));
    if (bytes.isEmpty()) {
        GTEST_SKIP() << "no JDK src.zip to read";
    }
    SourceWindow window(bytes);
    RecordingProject project;
    window.services.project = &project;
    window.view()->RefreshFunctionList();
    const QStringList entries = functionList(window);
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries.first(), QStringLiteral("TimeUnit"));
    EXPECT_TRUE(entries.contains(QStringLiteral("TimeUnit.toSeconds(long duration)")))
        << entries.join(u'\n').toStdString();
    EXPECT_TRUE(entries.contains(QStringLiteral("TimeUnit.sleep(long timeout)")));
    for (const QString &entry : entries) {
        EXPECT_TRUE(entry.startsWith(QStringLiteral("TimeUnit"))) << entry.toStdString();
        EXPECT_FALSE(entry.contains(QStringLiteral("SECONDS"))) << entry.toStdString();
    }
    EXPECT_TRUE(project.calls.contains(QStringLiteral("AddClass TimeUnit")));
    EXPECT_TRUE(
        project.calls.contains(QStringLiteral("AddMethod TimeUnit toSeconds(long duration)")));

    const int head = lineHolding(window, QStringLiteral("public enum TimeUnit {"));
    ASSERT_GE(head, 0);
    EXPECT_EQ(window.drawnClasses(head), QStringLiteral("KKKKKK.KKKK..........."));
    expectLinePassAgreesOnEveryLine(window);
}

TEST(JdkSourceWindows, RecordDocumentationStaysCommentAndTheClassIsListed) {
    const QByteArray bytes = jdkSource(QStringLiteral("java.base/java/lang/Record.java"));
    if (bytes.isEmpty()) {
        GTEST_SKIP() << "no JDK src.zip to read";
    }
    SourceWindow window(bytes);
    const QStringList entries = functionList(window);
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries.first(), QStringLiteral("Record"));
    EXPECT_TRUE(entries.contains(QStringLiteral("Record.Record()")));
    // The examples in its documentation ("record Point(int x, int y) { }") are comment.
    const int example = lineHolding(window, QStringLiteral("record "));
    ASSERT_GE(example, 0);
    const QString classes = window.drawnClasses(example);
    EXPECT_EQ(classes.trimmed().remove(u'C').remove(u'.'), QString()) << classes.toStdString();
    expectLinePassAgreesOnEveryLine(window);
}

TEST(JdkSourceWindows, TextBlockLinesAreStringInTheWindow) {
    // A file with a text block: the launcher's options in newer JDKs, the process start-up in
    // others.
    QByteArray bytes;
    for (const char *member :
         {"jdk.compiler/com/sun/tools/javac/launcher/RelevantJavacOptions.java",
          "java.base/java/lang/ProcessImpl.java", "java.base/java/text/ListFormat.java"}) {
        bytes = jdkSource(QString::fromLatin1(member));
        if (bytes.contains("\"\"\"\n")) {
            break;
        }
    }
    if (!bytes.contains("\"\"\"\n")) {
        GTEST_SKIP() << "no JDK source with a text block to read";
    }
    SourceWindow window(bytes);
    const QStringList lines = window.text().split(u'\n');
    int opener = -1;
    for (int line = 0; line < lines.size() && opener < 0; ++line) {
        if (lines[line].endsWith(QStringLiteral("\"\"\""))
            && !lines[line].trimmed().startsWith(u'/') && !lines[line].trimmed().startsWith(u'*')) {
            opener = line;
        }
    }
    ASSERT_GE(opener, 0);
    EXPECT_TRUE(window.drawnClasses(opener).endsWith(QStringLiteral("SSS")));
    const QString inside = window.drawnClasses(opener + 1);
    EXPECT_EQ(inside, QString(inside.size(), u'S')) << lines[opener + 1].toStdString();
    expectLinePassAgreesOnEveryLine(window);
}

} // namespace
