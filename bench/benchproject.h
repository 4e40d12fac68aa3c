#pragma once

#include "benchservices.h"

#include "editors/sourceproject.h"
#include "framework/document.h"

#include <optional>

// Stands in for the application and its open project: the project checks and completes the
// files of a generated tree from its root with the given JDK.
class BenchProject : public fw::Document, public SourceProject, public BenchServices {
public:
    BenchProject(const QString &root, const QString &jdkFolder, const QString &appFolder)
        : BenchServices({}, appFolder)
        , m_root(root) {
        m_settings.jdkFolder = jdkFolder;
    }
    std::optional<LiveCheckSetup> LiveCheckFor(const QString &, const QString &) override {
        LiveCheckSetup setup;
        setup.jdkFolder = m_settings.jdkFolder;
        setup.folder = m_root;
        setup.request.sourcePath = m_root;
        return setup;
    }
    bool AddFile(const QString &) override { return false; }
    void StartCapturedTool(const QString &, const QString &, const QString &) override {}
    void StartCompiler(const QString &, const QString &, const QString &,
                       const QStringList &) override {}
    QList<jdk::CompilerMark> CompilerMarksOf(const QString &) const override { return {}; }
    void ClearFileClasses(const QString &) override {}
    bool AddClass(const QString &, const QString &) override { return true; }
    bool AddMethod(const QString &, const QString &, const QString &) override { return true; }
    bool AddInnerClass(const QString &, const QString &, const QString &) override { return true; }
    void AddInnerMethod(const QString &, const QString &, const QString &,
                        const QString &) override {}
    void ClassInfoUpdated() override {}
    fw::Document *GetProjectDoc() override { return this; }

private:
    QString m_root;
};
