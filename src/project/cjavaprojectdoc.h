#pragma once

#include "framework/document.h"
#include "project/projectfile.h"

// The document behind the project window: the project's Java files with what the scanner
// found in them, the main file, the HTML page and the main class's package, stored in a .jpr
// file. Only one is open at a time.
class CJavaProjectDoc : public fw::Document, public ProjectFileContents {
    Q_OBJECT

public:
    CJavaProjectDoc();
    ~CJavaProjectDoc() override;

    void Build();
    void RunMain(bool ownConsole);
    void RunApplet();

protected:
    bool readContents(const QByteArray &bytes, QString *error) override;
    QByteArray writeContents() override;
    void deleteContents() override;
};
