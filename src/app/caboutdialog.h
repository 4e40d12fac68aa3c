#pragma once

#include <QDialog>

// The About box: the product picture, name, version and copyright, and the product's web site
// address, which "Visit Web Site" opens with the desktop's handler while the box stays open.
class CAboutDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 100;
    static constexpr int kVisitWebSiteId = 1021;
    static inline const QString kWebSiteAddress = QStringLiteral("https://tarvo.example.org/");

    explicit CAboutDialog(QWidget *parent = nullptr);
    ~CAboutDialog() override;

private:
    void visitWebSite();
};
