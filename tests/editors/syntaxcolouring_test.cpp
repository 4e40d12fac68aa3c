#include "editors/sourcetext.h"
#include "editors/syntaxcolouring.h"

#include "colouringoracle.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <ostream>
#include <random>

using namespace editors;

namespace editors {
void PrintTo(const ColourRun &run, std::ostream *out) {
    *out << "{" << run.from << ", " << run.to << ", " << int(run.colourClass) << "}";
}
} // namespace editors

namespace {

const QString kColouringData = QStringLiteral(TARVO_TEST_DATA_DIR "/colouring/");

QByteArray readFile(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QString crLfTextOfFile(const QString &path) {
    return toCrLfText(decodeSourceFile(readFile(path)).text);
}

std::vector<std::string> javaFileNames() {
    std::vector<std::string> names;
    for (const QString &name :
         QDir(kColouringData).entryList({QStringLiteral("*.java")}, QDir::Files, QDir::Name)) {
        names.push_back(name.toStdString());
    }
    return names;
}

// One letter per class: '.' Normal, 'K' Keyword, 'S' String, 'C' Comment.
std::string letters(const ColourClasses &classes) {
    std::string result;
    for (const ColourClass colourClass : classes) {
        result += ".KSC"[int(colourClass)];
    }
    return result;
}

// The lines of a CR LF text as (first offset, length without the break); a lone CR stays inside
// its line, and the last line runs to the end of the text.
std::vector<std::pair<qsizetype, qsizetype>> lineSpans(QStringView text) {
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    qsizetype start = 0;
    for (qsizetype lineBreak; (lineBreak = text.indexOf(u"\r\n", start)) >= 0;
         start = lineBreak + 2) {
        spans.emplace_back(start, lineBreak - start);
    }
    spans.emplace_back(start, text.size() - start);
    return spans;
}

// Each line as three rows: the text with tab, CR and LF made visible; the whole-text pass's
// classes, its line break included; the line pass's classes ("line/*" where the line starts
// inside a block comment, "line\"\"\"" inside a text block).
QString renderBothPasses(QStringView text) {
    const std::string whole = letters(classifyWholeText(text));
    QString rendered;
    for (const auto &[start, length] : lineSpans(text)) {
        const qsizetype withBreak = std::min(length + 2, text.size() - start);
        if (withBreak == 0) {
            continue;
        }
        QString visible = text.sliced(start, withBreak).toString();
        visible.replace(u'\t', u'\u2192').replace(u'\r', u'\u240D').replace(u'\n', u'\u240A');
        const bool open = IsInBlockComment(text, start);
        const bool inTextBlock = IsInTextBlock(text, start);
        rendered += QStringLiteral("text   ") + visible + u'\n';
        rendered += QStringLiteral("whole  ")
                    + QString::fromStdString(whole.substr(start, withBreak)) + u'\n';
        rendered += (open          ? QStringLiteral("line/* ")
                     : inTextBlock ? QStringLiteral("line\"\"\"")
                                   : QStringLiteral("line   "))
                    + QString::fromStdString(
                        letters(classifyLine(text.sliced(start, length), open, inTextBlock)))
                    + QStringLiteral("\n\n");
    }
    return rendered;
}

class ColouringGoldenFile : public testing::TestWithParam<std::string> {};

TEST_P(ColouringGoldenFile, BothPassesGiveTheReviewedClasses) {
    const QString name = QString::fromStdString(GetParam());
    const QString goldenPath = kColouringData + name.chopped(5) + QStringLiteral(".golden");
    const QString rendered = renderBothPasses(crLfTextOfFile(kColouringData + name));
    const QString golden = QString::fromUtf8(readFile(goldenPath));
    if (rendered != golden) {
        QFile newFile(goldenPath + QStringLiteral(".new"));
        ASSERT_TRUE(newFile.open(QIODevice::WriteOnly));
        newFile.write(rendered.toUtf8());
    }
    EXPECT_EQ(golden.toStdString(), rendered.toStdString()) << "see the .new file beside it";
}

INSTANTIATE_TEST_SUITE_P(DataFiles, ColouringGoldenFile, testing::ValuesIn(javaFileNames()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return info.param.substr(0, info.param.size() - 5);
                         });

void expectSameAsOracle(const QString &text) {
    SCOPED_TRACE(text.toStdString());
    const std::u16string literal = text.toStdU16String();
    EXPECT_EQ(letters(oracle::classifyWholeText(literal)), letters(classifyWholeText(text)));
    for (const auto &[start, length] : lineSpans(text)) {
        const bool open = oracle::isInBlockComment(literal, start);
        const bool inTextBlock = oracle::isInTextBlock(literal, start);
        EXPECT_EQ(inTextBlock, IsInTextBlock(text, start)) << "line at " << start;
        EXPECT_EQ(
            letters(oracle::classifyLine(literal.substr(start, length), open, inTextBlock)),
            letters(classifyLine(QStringView(text).sliced(start, length), open, inTextBlock)));
    }
    for (qsizetype offset = -1; offset <= text.size() + 1; ++offset) {
        EXPECT_EQ(oracle::isInBlockComment(literal, offset), IsInBlockComment(text, offset))
            << "offset " << offset;
    }
}

// Up to 40 pieces picked at random, one after the other.
template <size_t N>
QString joinedPieces(std::mt19937 &random, const QStringView (&pieces)[N]) {
    std::uniform_int_distribution<int> pieceCount(0, 40);
    std::uniform_int_distribution<size_t> pick(0, N - 1);
    QString text;
    for (int count = pieceCount(random); count > 0; --count) {
        text += pieces[pick(random)];
    }
    return text;
}

// Pieces chosen to meet every rule: keywords next to letters, digits, '_', '.', non-ASCII
// letters; quotes with backslashes; every comment delimiter and their overlaps; line breaks.
QString generatedText(std::mt19937 &random) {
    static constexpr QStringView pieces[] = {
        u"int",    u"int2", u"_int", u"intx",   u"instanceof", u"instanceOf", u"class", u"x.",
        u"\u00E9", u"9",    u"do",   u"double", u" ",          u"\t",         u"\"",    u"\\",
        u"\\\"",   u"'\"'", u"/",    u"*",      u"//",         u"/*",         u"*/",    u"/*/",
        u"\r\n",   u"\r\n", u"\r",   u"\n",     u"a",          u"return",
    };
    return joinedPieces(random, pieces);
}

TEST(ColouringOracle, FastPassesMatchTheLiteralStepsOnGeneratedTexts) {
    std::mt19937 random(20240607);
    for (int round = 0; round < 4000 && !HasFailure(); ++round) {
        expectSameAsOracle(generatedText(random));
    }
}

// Pieces of today's Java: text blocks and their escapes, character literals around quotes,
// escaped backslashes, contextual words in and out of their places.
QString generatedModernText(std::mt19937 &random) {
    static constexpr QStringView pieces[] = {
        u"\"\"\"",  u"\"\"\"\r\n", u"\"",    u"\\",       u"\\\\",      u"'\"'",
        u"'\\\"'",  u"'",          u"\r\n",  u" ",        u"record",    u"Point(",
        u"sealed ", u"non-sealed", u"class", u"permits ", u"yield ",    u"case ",
        u"when ",   u"var",        u"enum",  u"module ",  u"requires ", u"to ",
        u"x",       u";",          u"//",    u"/*",       u"*/",
    };
    return joinedPieces(random, pieces);
}

TEST(ColouringOracle, FastPassesMatchTheLiteralStepsOnTodaysConstructs) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 4000 && !HasFailure(); ++round) {
        expectSameAsOracle(generatedModernText(random));
    }
}

TEST(ColouringOracle, FastPassesMatchTheLiteralStepsOnEveryDataFile) {
    for (const std::string &name : javaFileNames()) {
        expectSameAsOracle(crLfTextOfFile(kColouringData + QString::fromStdString(name)));
    }
}

TEST(KeywordTable, IsTheSplitTableWithInstanceofAddedAfterInstanceOf) {
    const char *expected =
        "abstract boolean break byte byValue case cast default do double else extends false final "
        "goto if implements import inner instanceOf instanceof int operator outer package private "
        "protected public rest synchronized this throw throws transient true try catch char class "
        "const continue finally float for future generic interface long native new null return "
        "short static super switch var void volatile while";
    EXPECT_EQ(expected, keywordList().join(u' ').toStdString());
    EXPECT_EQ(60, keywordList().size());
}

TEST(ColourRuns, CoverTheTextInMaximalStretchesInTextOrder) {
    using enum ColourClass;
    EXPECT_EQ(std::vector<ColourRun>{}, colourRuns({}));
    const ColourClasses classes = {Normal, Normal, Keyword, String, String, Comment, Normal};
    EXPECT_EQ(
        (std::vector<ColourRun>{
            {0, 2, Normal}, {2, 3, Keyword}, {3, 5, String}, {5, 6, Comment}, {6, 7, Normal}}),
        colourRuns(classes));
}

} // namespace
