#pragma once

#include "project/newprojecttemplates.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;

// The New Project dialog: the kind of project (empty, application, applet) and the name of its
// main class. It opens with the whole class name selected in the focused edit. OK closes it
// only when the name can be used: an application or applet needs a name ("MyApp" is put back
// when it is empty), and a name holding a path separator is refused, since the source file
// would be written outside the project's folder. Any other text is taken as typed.
class CNewProjectDialog : public QDialog {
    Q_OBJECT

public:
    using ProjectKind = NewProjectTemplates::ProjectKind;

    static constexpr int kDialogId = 148;
    static constexpr int kClassNameEditId = 1000;
    static constexpr int kEmptyRadioId = 1012;
    static constexpr int kApplicationRadioId = 1013;
    static constexpr int kAppletRadioId = 1014;

    static inline const QString kDefaultClassName = QStringLiteral("MyApp");
    static inline const QString kNoClassNameMessage =
        QStringLiteral("Please enter a name for your class");
    static inline const QString kSeparatorMessage =
        QStringLiteral("A class name cannot hold a path separator (/ or \\): the class's file "
                       "must go into the project's folder.");
    static inline const QString kNotAClassNameMessage =
        QStringLiteral("\"%1\" cannot name a Java class: a class name begins with a letter, _ "
                       "or $, holds only letters, digits, _ and $ (no spaces), and is not a "
                       "word Java reserves.");
    static inline const QString kTemplateClassMessage =
        QStringLiteral("\"%1\" is the name of a class that the new project's code uses itself. "
                       "Please choose another name for your class.");

    explicit CNewProjectDialog(QWidget *parent = nullptr);
    ~CNewProjectDialog() override;

    ProjectKind kind() const;
    void setKind(ProjectKind kind);
    QString className() const;
    void setClassName(const QString &className);

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QRadioButton *m_emptyRadio = nullptr;
    QRadioButton *m_applicationRadio = nullptr;
    QRadioButton *m_appletRadio = nullptr;
    QLineEdit *m_classNameEdit = nullptr;
};
