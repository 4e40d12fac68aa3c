#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/crecentprojectsdialog.h"
#include "framework/commandids.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

// Chooses "Recent Projects..." with the recent projects given, lets the script work the dialog,
// and gives the project open after it.
QString chooseRecentProjects(AppHarness &harness, const QStringList &recent,
                             const std::function<void(CRecentProjectsDialog &)> &script) {
    harness.app().settings().recentProjects = recent;
    harness.prompter().runDialogNext([script](QDialog &dialog) {
        auto &recentDialog = dynamic_cast<CRecentProjectsDialog &>(dialog);
        recentDialog.show();
        script(recentDialog);
        return recentDialog.result();
    });
    EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::RecentProjects));
    AppHarness::processEvents();
    CJavaProjectDoc *project = harness.app().GetProjectDoc();
    return project ? project->pathName() : QString();
}

// A double-click on an entry alone, with no OK after it, opens the chosen project.
TEST(RecentProjects, DoubleClickOnAnEntryOpensThatProject) {
    AppHarness harness;
    QStringList projects;
    for (const QString &name : {u"First.jpr"_s, u"Second.jpr"_s}) {
        projects << harness.writeFile(name, storeProjectFile(ProjectFileContents()));
    }
    const QString opened =
        chooseRecentProjects(harness, projects, [](CRecentProjectsDialog &dialog) {
            // A double-click is a click followed by a second press reported as a double-click.
            const QPoint centre = dialog.list()->visualItemRect(dialog.list()->item(1)).center();
            QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(dialog.list()->viewport(), Qt::LeftButton, {}, centre);
        });
    EXPECT_EQ(opened, projects.at(1));
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
}

// With nothing to choose, OK and Enter ask for a choice and leave the dialog open.
TEST(RecentProjects, EmptyListAsksForAChoiceAndStaysOpenUntilCancel) {
    AppHarness harness;
    const QString opened = chooseRecentProjects(harness, {}, [](CRecentProjectsDialog &dialog) {
        auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QTest::keyClick(dialog.list(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList(2, CRecentProjectsDialog::kNothingChosenMessage));
    EXPECT_EQ(opened, QString());
}

} // namespace
