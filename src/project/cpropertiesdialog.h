#pragma once

#include <QDialog>

class QLineEdit;

// The project's Properties dialog: the package of the main class, in dotted form. Any text is
// accepted, an empty one included.
class CPropertiesDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 146;
    static constexpr int kPackageEditId = 1000;

    explicit CPropertiesDialog(QWidget *parent = nullptr);
    ~CPropertiesDialog() override;

    QString package() const;
    void setPackage(const QString &package);

private:
    QLineEdit *m_packageEdit = nullptr;
};
