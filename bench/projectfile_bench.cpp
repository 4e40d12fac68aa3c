// Writing and reading a full project: 255 files, each with one or three classes of eight
// method signatures and an inner class of eight more.
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "project/projectfile.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kMethodsPerClass = 8;

std::unique_ptr<CJavaClass> makeClass(const QString &name) {
    auto javaClass = std::make_unique<CJavaClass>();
    javaClass->SetName(name);
    for (int i = 0; i < kMethodsPerClass; ++i) {
        javaClass->AddMethod(QStringLiteral("method%1(int a, String b)").arg(i));
    }
    return javaClass;
}

ProjectFileContents fullProject(int classesPerFile) {
    ProjectFileContents contents;
    for (int f = 0; f < CJavaList::kCapacity; ++f) {
        auto file = std::make_unique<CJavaFile>();
        file->SetFileName(QStringLiteral("File%1.java").arg(f));
        file->SetPath(QStringLiteral("/home/user/project/src/File%1.java").arg(f));
        for (int c = 0; c < classesPerFile; ++c) {
            auto javaClass = makeClass(QStringLiteral("Class%1").arg(c));
            auto inner = makeClass(QStringLiteral("Inner"));
            javaClass->GetInnerClasses().Add(inner);
            file->GetClasses().Add(javaClass);
        }
        contents.m_fileList.Add(file);
    }
    contents.m_strMainFile = QStringLiteral("File0.java");
    contents.m_strMainFolder = QStringLiteral("/home/user/project/src");
    return contents;
}

void BM_StoreFullProject(benchmark::State &state) {
    const ProjectFileContents project = fullProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(storeProjectFile(project));
    }
    state.SetBytesProcessed(state.iterations() * storeProjectFile(project).size());
}
BENCHMARK(BM_StoreFullProject)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_LoadFullProject(benchmark::State &state) {
    const QByteArray bytes = storeProjectFile(fullProject(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        auto project = std::make_unique<ProjectFileContents>();
        benchmark::DoNotOptimize(loadProjectFile(bytes, *project, nullptr));
        // Reading is timed; freeing the project again is not.
        state.PauseTiming();
        project.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadFullProject)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
