#include "framework/archive.h"
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "model/cjavafilelist.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CJavaClass> makeClass(const QString &name, const QStringList &methods = {}) {
    auto javaClass = std::make_unique<CJavaClass>();
    javaClass->SetName(name);
    for (const QString &method : methods) {
        javaClass->AddMethod(method);
    }
    return javaClass;
}

QStringList namesOf(const CJavaClassList &list) {
    QStringList names;
    for (int i = 0; i < list.GetCount(); ++i) {
        names << list.GetAt(i)->GetName();
    }
    return names;
}

TEST(JavaList, FullListRefusesAddAndLeavesTheElementWithTheCaller) {
    CJavaClassList list;
    for (int i = 0; i < CJavaList::kCapacity; ++i) {
        auto element = makeClass(QString::number(i));
        ASSERT_TRUE(list.Add(element));
        EXPECT_EQ(element, nullptr);
    }
    auto extra = makeClass(QStringLiteral("extra"));
    EXPECT_FALSE(list.Add(extra));
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->GetName(), QStringLiteral("extra"));
    EXPECT_EQ(list.GetCount(), 255);

    std::unique_ptr<CJavaClass> none;
    CJavaClassList empty;
    EXPECT_FALSE(empty.Add(none));
    EXPECT_EQ(empty.GetCount(), 0);
}

TEST(JavaList, RemoveAtKeepsTheOrderAndIgnoresIndicesOutside) {
    CJavaClassList list;
    for (const char *name : {"a", "b", "c"}) {
        auto element = makeClass(QString::fromLatin1(name));
        list.Add(element);
    }
    list.RemoveAt(3);
    list.RemoveAt(-1);
    list.RemoveAt(0);
    EXPECT_EQ(namesOf(list), QStringList({"b", "c"}));
    EXPECT_EQ(list.GetAt(2), nullptr);

    CJavaClassList moved(std::move(list));
    EXPECT_EQ(namesOf(moved), QStringList({"b", "c"}));
    moved.RemoveAll();
    EXPECT_EQ(moved.GetCount(), 0);
}

TEST(JavaFileList, LookupsCompareExactlyAndFindTheFirst) {
    CJavaFileList files;
    for (const char *path : {"/p/A.java", "/q/A.java"}) {
        auto file = std::make_unique<CJavaFile>();
        file->SetPath(QString::fromLatin1(path));
        file->SetFileName(QStringLiteral("A.java"));
        files.Add(file);
    }
    EXPECT_EQ(files.FindByPath(QStringLiteral("/q/A.java")), files.GetAt(1));
    EXPECT_EQ(files.FindByPath(QStringLiteral("/P/A.java")), nullptr);
    EXPECT_EQ(files.FindByFileName(QStringLiteral("A.java")), files.GetAt(0));
    EXPECT_FALSE(files.HasFileName(QStringLiteral("a.java")));
}

TEST(JavaClass, SurvivesStoreAndLoadWithNestedInnerClasses) {
    auto original = makeClass(QStringLiteral("Outer"), {"paint(Graphics g)", "run()"});
    auto inner = makeClass(QStringLiteral("Inner"), {"f(int a, int b)"});
    auto innermost = makeClass(QStringLiteral("Innermost"), {"g()"});
    inner->GetInnerClasses().Add(innermost);
    original->GetInnerClasses().Add(inner);
    fw::Archive out;
    original->Serialize(out);

    CJavaClass loaded;
    fw::Archive in(out.data());
    loaded.Serialize(in);
    EXPECT_EQ(loaded.GetName(), QStringLiteral("Outer"));
    EXPECT_EQ(loaded.GetMethods(), QStringList({"paint(Graphics g)", "run()"}));
    const CJavaClass *loadedInner = loaded.GetInnerClass(QStringLiteral("Inner"));
    ASSERT_NE(loadedInner, nullptr);
    EXPECT_EQ(loadedInner->GetMethods(), QStringList({"f(int a, int b)"}));
    EXPECT_EQ(namesOf(loadedInner->GetInnerClasses()), QStringList({"Innermost"}));
    EXPECT_EQ(loadedInner->GetInnerClasses().GetAt(0)->GetMethods(), QStringList({"g()"}));
}

} // namespace
