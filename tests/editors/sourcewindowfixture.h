#pragma once

#include "editors/sourceproject.h"
#include "framework/document.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "support/scriptedprompter.h"

#include <QString>
#include <QStringList>
#include <QTextBlock>

#include <memory>

class CChildFrame;
class CSyntaxWindowDoc;
class CSyntaxWindowView;
struct SourceColours;

namespace editors_testing {

// A project that records what a source window asks of it, one line per call.
class RecordingProject : public fw::Document, public SourceProject {
public:
    QStringList calls;

    bool AddFile(const QString &path) override { return record(u"AddFile", {path}); }
    void StartCapturedTool(const QString &program, const QString &commandLine,
                           const QString &folder) override {
        record(u"StartCapturedTool", {program, commandLine, folder});
    }
    void StartCompiler(const QString &program, const QString &commandLine, const QString &folder,
                       const QStringList &sources) override {
        record(u"StartCompiler", QStringList{program, commandLine, folder} + sources);
    }
    // The marks the project hands a window that opens.
    QList<jdk::CompilerMark> marks;
    QList<jdk::CompilerMark> CompilerMarksOf(const QString &) const override { return marks; }
    // Checks nothing as it is typed.
    std::optional<LiveCheckSetup> LiveCheckFor(const QString &, const QString &) override {
        return std::nullopt;
    }
    void ClearFileClasses(const QString &) override { record(u"ClearFileClasses", {}); }
    bool AddClass(const QString &, const QString &name) override {
        return record(u"AddClass", {name});
    }
    bool AddMethod(const QString &, const QString &name, const QString &signature) override {
        return record(u"AddMethod", {name, signature});
    }
    bool AddInnerClass(const QString &, const QString &name, const QString &inner) override {
        return record(u"AddInnerClass", {name, inner});
    }
    void AddInnerMethod(const QString &, const QString &name, const QString &inner,
                        const QString &signature) override {
        record(u"AddInnerMethod", {name, inner, signature});
    }
    void ClassInfoUpdated() override { record(u"ClassInfoUpdated", {}); }

private:
    bool record(QStringView call, const QStringList &arguments) {
        calls << (QStringList{call.toString()} + arguments).join(QLatin1Char(' '));
        return true;
    }
};

// The application as a source window sees it, with settings of its own, an optional project,
// and a record of the caption, the line pane and the saves asked for.
class FakeServices : public IdeServices {
public:
    AppSettings appSettings;
    RecordingProject *project = nullptr;
    QString caption;
    QString lineText;
    int saveAllCount = 0;
    int saveSourceFontCount = 0;

    AppSettings &settings() override { return appSettings; }
    QString appFolder() const override { return {}; }
    fw::Document *GetProjectDoc() override { return project; }
    void ActivateProjectWindow() override {}
    void SaveAllDocuments() override { ++saveAllCount; }
    fw::Document *OpenDocumentFile(const QString &) override { return nullptr; }
    QString toolCaption() const override { return caption; }
    void setToolCaption(const QString &text) override { caption = text; }
    void SaveSourceFont() override { ++saveSourceFontCount; }
    void SaveOutputFont() override {}
    void SaveOutputWindowRect(int, int, int, int) override {}
    void AddRecentProject(const QString &) override {}
    void SaveLastOpenAndRecent(const QString &) override {}
    void setMessageText(const QString &) override {}
    void setLineText(const QString &text) override { lineText = text; }
};

// One source window outside the main window: a document opened from a file (or new), its view
// in a CChildFrame shown offscreen, the fake services and the scripted prompter.
class SourceWindow {
public:
    // bytes: the file's contents, written to a scratch file; a null array makes a new,
    // never-saved document.
    explicit SourceWindow(const QByteArray &bytes = QByteArray(""));
    ~SourceWindow();

    FakeServices services;
    testing_support::ScriptedPrompter::Installed prompter;
    QString path;
    CSyntaxWindowDoc *document() const { return m_document.get(); }
    CSyntaxWindowView *view() const { return m_view; }
    CChildFrame *frame() const { return m_frame.get(); }

    QString text() const;
    QTextBlock block(int line) const;
    QString selectedText() const;
    void setCursor(int anchor, int position) const;
    // The classes drawn for a line once the view shows it (scrolled to it if it is out of
    // sight) and is painted, one letter a character: '.' Normal, 'K' Keyword,
    // 'S' String, 'C' Comment, '?' any other colour.
    QString drawnClasses(int line) const;

private:
    std::unique_ptr<CSyntaxWindowDoc> m_document;
    std::unique_ptr<CChildFrame> m_frame;
    CSyntaxWindowView *m_view = nullptr;
};

} // namespace editors_testing
