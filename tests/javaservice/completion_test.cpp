// Completion by the real Java service on the installed JDK: the members of an expression's
// type with its generics applied, the static members after a class name, the names in scope
// and no others, a project class read from the source path, and a line still being typed.
#include "javaservice/javaserviceclient.h"

#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using javaservice::CompletionItem;
using javaservice::Completions;
using javaservice::JavaServiceClient;
using javaservice::RequestId;

class CompletionServiceTest : public testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(jdk + "/bin/javac").isExecutable()) {
            GTEST_SKIP() << "no JDK found";
        }
        folder = testing_support::makeScratchFolder("completion");
        testing_support::writeFileIn(folder, "shop/Basket.java",
                                     "package shop;\n"
                                     "public class Basket {\n"
                                     "    public int itemCount;\n"
                                     "    private int secret;\n"
                                     "    public String label(int width) { return \"\"; }\n"
                                     "}\n");
        JavaServiceClient::Settings settings;
        settings.helpFolders = {QDir::cleanPath(TARVO_TEST_DATA_DIR "/../../../res/help")};
        settings.cacheRoot = testing_support::runFolder() + "/cache";
        client = std::make_unique<JavaServiceClient>(settings);
        QObject::connect(client.get(), &JavaServiceClient::completed,
                         [this](RequestId id, const Completions &found) { answers[id] = found; });
        QObject::connect(client.get(), &JavaServiceClient::failed,
                         [this](RequestId id, javaservice::Failure, const QString &reason) {
                             failures[id] = reason;
                         });
    }

    // The completions at the | of a source of package shop.
    Completions complete(QString text) {
        const qsizetype caret = text.indexOf(u'|');
        text.remove(caret, 1);
        javaservice::CheckRequest request;
        request.path = folder + "/shop/Till.java";
        request.text = text;
        request.sourcePath = folder;
        return answerTo(client->complete(jdk, folder, request, caret));
    }
    Completions answerTo(RequestId id) {
        QElapsedTimer clock;
        clock.start();
        while (!answers.contains(id) && !failures.contains(id) && clock.elapsed() < 120000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(1);
        }
        EXPECT_FALSE(failures.contains(id)) << failures.value(id).toStdString();
        return answers.value(id);
    }

    static const CompletionItem *find(const Completions &completions, const QString &name,
                                      const QStringList &parameterTypes = {}) {
        for (const CompletionItem &item : completions.items) {
            if (item.name == name
                && (parameterTypes.isEmpty() || item.parameterTypes == parameterTypes)) {
                return &item;
            }
        }
        return nullptr;
    }

    static QString inMethod(const QString &body) {
        return "package shop;\nimport java.util.List;\nclass Till {\n    int total;\n"
               "    void ring(List<String> names, Basket basket) {\n"
               + body + "\n    }\n}\n";
    }

    const QString jdk = testing_support::installedJdk();
    QString folder;
    std::unique_ptr<JavaServiceClient> client;
    QMap<RequestId, Completions> answers;
    QMap<RequestId, QString> failures;
};

TEST_F(CompletionServiceTest, MembersOfAnElementOfAListOfStringAreThoseOfString) {
    const Completions completions = complete(inMethod("        names.get(0).sub|"));
    EXPECT_EQ(completions.prefix, "sub");
    const CompletionItem *substring = find(completions, "substring", {"int", "int"});
    ASSERT_NE(substring, nullptr);
    EXPECT_EQ(substring->kind, "method");
    EXPECT_EQ(substring->type, "String");
    EXPECT_NE(find(completions, "charAt"), nullptr);  // the client filters, not the service
    EXPECT_EQ(find(completions, "valueOf"), nullptr); // static: called on the class
    const CompletionItem *get = find(complete(inMethod("        names.|")), "get");
    ASSERT_NE(get, nullptr);
    EXPECT_EQ(get->type, "String");
}

TEST_F(CompletionServiceTest, AClassNameOffersItsStaticMembersOnly) {
    const Completions completions = complete(inMethod("        double d = Math.|"));
    const CompletionItem *pi = find(completions, "PI");
    ASSERT_NE(pi, nullptr);
    EXPECT_EQ(pi->kind, "field");
    EXPECT_EQ(pi->type, "double");
    EXPECT_NE(find(completions, "max", {"int", "int"}), nullptr);
    EXPECT_EQ(find(completions, "hashCode"), nullptr);
}

TEST_F(CompletionServiceTest, AProjectClassOffersWhatIsVisibleOfItFromAnotherFile) {
    const Completions completions = complete(inMethod("        basket.|\n        total = 1;"));
    EXPECT_NE(find(completions, "itemCount"), nullptr);
    const CompletionItem *label = find(completions, "label");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parameterTypes, QStringList{"int"});
    EXPECT_EQ(find(completions, "secret"), nullptr);
}

TEST_F(CompletionServiceTest, NamesInScopeAreLocalsParametersFieldsAndClassesButNotOtherBlocks) {
    const Completions completions = complete(inMethod("        int count = 1;\n"
                                                      "        { int hidden = 2; }\n"
                                                      "        |\n"
                                                      "        int later = 3;"));
    for (const char *name : {"count", "names", "basket", "total", "ring", "Till", "Basket"}) {
        EXPECT_NE(find(completions, name), nullptr) << name;
    }
    EXPECT_EQ(find(completions, "hidden"), nullptr);
    EXPECT_EQ(find(completions, "later"), nullptr);
    EXPECT_EQ(find(completions, "count")->kind, "local");
    EXPECT_EQ(find(completions, "names")->type, "List<String>");
    // Classes of other packages come once a name is begun, with the name to import; the JDK's
    // classes that are not public are not offered.
    EXPECT_FALSE(completions.complete);
    EXPECT_EQ(find(completions, "ArrayList"), nullptr);
    const Completions begun = complete(inMethod("        ArrayL|"));
    EXPECT_TRUE(begun.complete);
    const CompletionItem *arrayList = find(begun, "ArrayList");
    ASSERT_NE(arrayList, nullptr);
    EXPECT_EQ(arrayList->qualifiedName, "java.util.ArrayList");
    EXPECT_EQ(find(complete(inMethod("        ImmutableC|")), "ImmutableCollections"), nullptr);
}

// The service keeps what it read of the JDK from one completion to the next, but never a
// project's classes: an unsaved change to another file, and a file new on disk, are seen.
TEST_F(CompletionServiceTest, TheNextCompletionSeesOtherFilesAsTheyAreNow) {
    EXPECT_EQ(find(complete(inMethod("        basket.|")), "discount"), nullptr);
    javaservice::CheckRequest request;
    request.path = folder + "/shop/Till.java";
    QString text = inMethod("        basket.|");
    const qsizetype caret = text.indexOf(u'|');
    text.remove(caret, 1);
    request.text = text;
    request.sourcePath = folder;
    request.overlays = {{folder + "/shop/Basket.java",
                         "package shop;\npublic class Basket {\n"
                         "    public double discount() { return 0; }\n}\n"}};
    const Completions unsaved = answerTo(client->complete(jdk, folder, request, caret));
    EXPECT_NE(find(unsaved, "discount"), nullptr);
    EXPECT_EQ(find(unsaved, "itemCount"), nullptr);

    testing_support::writeFileIn(folder, "shop/Coupon.java",
                                 "package shop;\npublic class Coupon {\n"
                                 "    public int percent() { return 5; }\n}\n");
    EXPECT_NE(find(complete(inMethod("        new Coupon().|")), "percent"), nullptr);
    EXPECT_NE(find(complete(inMethod("        basket.|")), "itemCount"), nullptr);
}

TEST_F(CompletionServiceTest, NothingIsOfferedForANameBeingDeclaredOrInAComment) {
    EXPECT_TRUE(complete(inMethod("        int newNa|")).items.isEmpty());
    EXPECT_TRUE(complete(inMethod("        // see names.|")).items.isEmpty());
}

TEST_F(CompletionServiceTest, AStaticMethodSeesStaticMembersAndAPackageNamesItsClassesUnimported) {
    const Completions statics = complete("package shop;\nimport static java.lang.Math.max;\n"
                                         "class Till {\n    int total;\n    static int rings;\n"
                                         "    static void ring() {\n        |\n    }\n}\n");
    EXPECT_NE(find(statics, "rings"), nullptr);
    EXPECT_NE(find(statics, "max", {"int", "int"}), nullptr);
    EXPECT_EQ(find(statics, "total"), nullptr);
    // The classes after their package, and the classes of a class, are named in full already.
    const CompletionItem *arrayList = find(complete(inMethod("        java.util.|")), "ArrayList");
    ASSERT_NE(arrayList, nullptr);
    EXPECT_EQ(arrayList->qualifiedName, "");
    const CompletionItem *entry = find(complete(inMethod("        java.util.Map.|")), "Entry");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->kind, "interface");
    EXPECT_EQ(entry->qualifiedName, "");
}

TEST_F(CompletionServiceTest, ABrokenLineInTheMiddleOfAMethodStillCompletes) {
    const Completions completions =
        complete(inMethod("        String s = names.get(0);\n"
                          "        if (s.isEmpty() && s.|\n"
                          "        for (String name : names) { total += name.length(); }"));
    EXPECT_NE(find(completions, "startsWith"), nullptr);
    const QString unclosed = inMethod("        names.add(basket.lab|");
    const Completions unclosedCall = complete(unclosed);
    EXPECT_EQ(unclosedCall.start, unclosed.indexOf("lab|"));
    EXPECT_NE(find(unclosedCall, "label"), nullptr);
}

} // namespace
