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

QPushButton *button(QDialog &dialog, QDialogButtonBox::StandardButton which) {
    return dialog.findChild<QDialogButtonBox *>()->button(which);
}

// A running Tarvo whose recent projects are three real project files, most recent first.
class RecentProjectsTest : public testing::Test {
protected:
    AppHarness harness;
    QStringList projects;

    void SetUp() override {
        for (const QString &name : {u"First.jpr"_s, u"Second.jpr"_s, u"Third.jpr"_s}) {
            projects << harness.writeFile(name, storeProjectFile(ProjectFileContents()));
        }
        harness.app().settings().recentProjects = projects;
    }

    // Chooses "Recent Projects..." and lets the script work the dialog.
    void chooseRecentProjects(std::function<void(CRecentProjectsDialog &)> script) {
        harness.prompter().runDialogNext([script](QDialog &dialog) {
            auto &recent = dynamic_cast<CRecentProjectsDialog &>(dialog);
            recent.show();
            script(recent);
            return recent.result();
        });
        ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::RecentProjects));
        AppHarness::processEvents();
    }

    QString openProject() const {
        CJavaProjectDoc *project = harness.app().GetProjectDoc();
        return project ? project->pathName() : QString();
    }
};

QPoint centreOf(QListWidget *list, int row) {
    return list->visualItemRect(list->item(row)).center();
}

// A double-click on an entry alone, with no OK after it, opens the chosen project.
TEST_F(RecentProjectsTest, DoubleClickOnAnEntryOpensThatProject) {
    chooseRecentProjects([](CRecentProjectsDialog &dialog) {
        // A double-click is a click followed by a second press that the system reports as a
        // double-click.
        QWidget *viewport = dialog.list()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOf(dialog.list(), 1));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, centreOf(dialog.list(), 1));
    });
    EXPECT_EQ(openProject(), projects.at(1));
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
}

// With nothing to choose, OK and Enter ask for a choice and leave the dialog open.
TEST_F(RecentProjectsTest, EmptyListAsksForAChoiceAndStaysOpenUntilCancel) {
    harness.app().settings().recentProjects.clear();
    chooseRecentProjects([](CRecentProjectsDialog &dialog) {
        EXPECT_EQ(dialog.list()->count(), 0);
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QTest::keyClick(dialog.list(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList(2, CRecentProjectsDialog::kNothingChosenMessage));
    EXPECT_EQ(openProject(), QString());
}

} // namespace
