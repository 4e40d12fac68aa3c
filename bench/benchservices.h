#pragma once

#include "services/appsettings.h"
#include "services/ideservices.h"

#include <QString>

#include <utility>

// Stands in for the application in a benchmark: settings, a tool caption, and a status bar that
// is only counted.
class BenchServices : public IdeServices {
public:
    explicit BenchServices(QString caption = {}, QString appFolder = {})
        : m_caption(std::move(caption))
        , m_appFolder(std::move(appFolder)) {}

    AppSettings m_settings;
    int m_messages = 0;

    AppSettings &settings() override { return m_settings; }
    QString appFolder() const override { return m_appFolder; }
    fw::Document *GetProjectDoc() override { return nullptr; }
    void ActivateProjectWindow() override {}
    void SaveAllDocuments() override {}
    fw::Document *OpenDocumentFile(const QString &) override { return nullptr; }
    QString toolCaption() const override { return m_caption; }
    void setToolCaption(const QString &) override {}
    void SaveSourceFont() override {}
    void SaveOutputFont() override {}
    void SaveOutputWindowRect(int, int, int, int) override {}
    void AddRecentProject(const QString &) override {}
    void SaveLastOpenAndRecent(const QString &) override {}
    void setMessageText(const QString &) override { ++m_messages; }
    void setLineText(const QString &) override {}

private:
    QString m_caption;
    QString m_appFolder;
};
