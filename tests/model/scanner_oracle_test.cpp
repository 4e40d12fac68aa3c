// The real scanner against the literal one on generated texts, hand-written sources with
// golden entry lists, and sources of the installed JDK.
#include "recordingsink.h"
#include "scannerprobe.h"
#include "support/casename.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <random>

namespace {

// Compares entries, offsets, project calls and the members left behind; true when all agree.
bool matchesLiteralScan(const QString &text) {
    ScannerProbe scanner;
    RecordingSink fastCalls;
    scanner.ScanSource(text, QStringLiteral("X.java"), &fastCalls);
    LiteralScanner literal;
    RecordingSink literalCalls;
    literal.scan(text, QStringLiteral("X.java"), &literalCalls);

    const auto shown = [](const QString &s) { return s.toUtf8().toPercentEncoding(" {}()/*"); };
    SCOPED_TRACE(shown(text).toStdString());
    EXPECT_EQ(scanner.entries(), literal.entryNames.mid(0, JavaSourceScanner::kMaxEntries));
    EXPECT_EQ(scanner.offsets(), literal.entryOffsets.mid(0, JavaSourceScanner::kMaxEntries));
    EXPECT_EQ(fastCalls.m_calls, literalCalls.m_calls);
    EXPECT_EQ(stateOf(scanner), stateOf(literal));
    return !testing::Test::HasFailure();
}

struct GeneratorProfile {
    const char *name;
    int texts;
    int maxTokens;
};

class GeneratedTexts : public testing::TestWithParam<GeneratorProfile> {};

// Texts made of the pieces the scan reacts to: braces, comment marks, line ends of every kind,
// keywords, parentheses, white space that is trimmed and white space that is not.
QString generatedText(std::mt19937 &random, int maxTokens) {
    static const char *const pieces[] = {
        "{",     "}",    "{",      "}",      "/*",         "*/",        "//",    "/",
        "*",     "\r\n", "\r\n",   "\n",     "\r",         " ",         "  ",    "\t",
        "\v",    "\f",   "class ", "class",  "interface ", "subclass ", "(",     ")",
        "void ", "f",    "x y",    "int a,", ";",          "= g(1);",   "\"{\"", "static "};
    std::uniform_int_distribution<int> count(1, maxTokens);
    std::uniform_int_distribution<int> piece(0, std::size(pieces) - 1);
    QString text;
    for (int n = count(random); n > 0; --n) {
        text += QString::fromLatin1(pieces[piece(random)]);
    }
    return text;
}

TEST_P(GeneratedTexts, ScanLikeTheLiteralSteps) {
    std::mt19937 random(4711);
    for (int i = 0; i < GetParam().texts; ++i) {
        if (!matchesLiteralScan(generatedText(random, GetParam().maxTokens))) {
            return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scanner, GeneratedTexts,
                         testing::Values(GeneratorProfile{"ShortDenseTexts", 6000, 30},
                                         GeneratorProfile{"LongTexts", 1500, 400}),
                         testing_support::CaseName());

QString withCrLf(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(u'\n', QStringLiteral("\r\n"));
}

class HandWrittenSources : public testing::TestWithParam<const char *> {};

// Each data/NAME.java has its expected entries in data/NAME.entries, one "offset entry" a
// line. On a mismatch the entries found are written beside it as NAME.entries.new.
TEST_P(HandWrittenSources, GiveTheirGoldenEntriesAndMatchTheLiteralScan) {
    const QString base = QStringLiteral(TARVO_TEST_DATA_DIR "/") + GetParam();
    QFile source(base + QStringLiteral(".java"));
    QFile golden(base + QStringLiteral(".entries"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QString text = withCrLf(QString::fromUtf8(source.readAll()));

    ScannerProbe scanner;
    scanner.ScanSource(text, QString(), nullptr);
    QString found;
    for (int i = 0; i < scanner.entries().size(); ++i) {
        found += QStringLiteral("%1 %2\n").arg(scanner.entryOffset(i)).arg(scanner.entries()[i]);
    }
    const QString expected = QString::fromUtf8(golden.readAll());
    if (found != expected) {
        QFile fresh(base + QStringLiteral(".entries.new"));
        if (fresh.open(QIODevice::WriteOnly)) {
            fresh.write(found.toUtf8());
        }
    }
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(matchesLiteralScan(text));
}

INSTANTIATE_TEST_SUITE_P(Scanner, HandWrittenSources, testing::Values("Shapes", "Editor", "Legacy", "Modern"),
                         [](const auto &info) { return std::string(info.param); });

// A few sources of the installed JDK (modules layout), when there is one and unzip to read it.
TEST(JdkSources, ScanLikeTheLiteralSteps) {
    QString zip;
    for (const QString &jdk : QDir(QStringLiteral("/usr/lib/jvm")).entryList(QDir::Dirs)) {
        if (QFile::exists(QStringLiteral("/usr/lib/jvm/%1/lib/src.zip").arg(jdk))) {
            zip = QStringLiteral("/usr/lib/jvm/%1/lib/src.zip").arg(jdk);
        }
    }
    if (zip.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty()) {
        GTEST_SKIP() << "no JDK src.zip or no unzip on this machine";
    }
    for (const char *name : {"java/util/ArrayList.java", "java/util/Optional.java",
                             "java/lang/Integer.java", "java/io/BufferedReader.java"}) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"),
                    {QStringLiteral("-p"), zip, QStringLiteral("java.base/") + name});
        unzip.waitForFinished(60000);
        const QByteArray bytes = unzip.readAllStandardOutput();
        if (bytes.isEmpty()) {
            GTEST_SKIP() << name << " is not in " << zip.toStdString();
        }
        ASSERT_TRUE(matchesLiteralScan(withCrLf(QString::fromUtf8(bytes)))) << name;
    }
}

} // namespace
