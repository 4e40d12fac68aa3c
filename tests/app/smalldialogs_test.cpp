#include "app/caboutdialog.h"
#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/crecentprojectsdialog.h"
#include "framework/commandids.h"
#include "project/cjavaprojectdoc.h"
#include "project/projectfile.h"
#include "support/appharness.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QAction>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUrl>

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

TEST_F(RecentProjectsTest, ListsTheProjectsInOrderWithTheFirstSelectedAndFocused) {
    chooseRecentProjects([this](CRecentProjectsDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), u"Recent Projects"_s);
        QStringList shown;
        for (int row = 0; row < dialog.list()->count(); ++row) {
            shown << dialog.list()->item(row)->text();
        }
        EXPECT_EQ(shown, projects);
        ASSERT_EQ(dialog.list()->selectedItems().size(), 1);
        EXPECT_EQ(dialog.list()->selectedItems().first()->text(), projects.first());
        EXPECT_EQ(dialog.focusWidget(), dialog.list());
        dialog.reject();
    });
    EXPECT_EQ(openProject(), QString());
}

// OK, Enter and a double-click on an entry take the same path: the chosen project opens.
struct AcceptCase {
    const char *name;
    std::function<void(CRecentProjectsDialog &, QListWidgetItem *)> accept;
};

class AcceptTest : public RecentProjectsTest, public testing::WithParamInterface<AcceptCase> {};

TEST_P(AcceptTest, OpensTheChosenProject) {
    chooseRecentProjects([](CRecentProjectsDialog &dialog) {
        QListWidgetItem *second = dialog.list()->item(1);
        GetParam().accept(dialog, second);
    });
    EXPECT_EQ(openProject(), projects.at(1));
    EXPECT_EQ(harness.prompter().messageTexts(), QStringList());
}

QPoint centreOf(QListWidget *list, QListWidgetItem *item) {
    return list->visualItemRect(item).center();
}

const AcceptCase kAcceptCases[] = {
    {"OkButton",
     [](CRecentProjectsDialog &dialog, QListWidgetItem *item) {
         QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {},
                           centreOf(dialog.list(), item));
         QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
     }},
    {"EnterKey",
     [](CRecentProjectsDialog &dialog, QListWidgetItem *) {
         QTest::keyClick(dialog.list(), Qt::Key_Down);
         QTest::keyClick(dialog.list(), Qt::Key_Return);
     }},
    {"DoubleClickAlone",
     [](CRecentProjectsDialog &dialog, QListWidgetItem *item) {
         // A double-click is a click followed by a second press that the system reports as
         // a double-click.
         QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {},
                           centreOf(dialog.list(), item));
         QTest::mouseDClick(dialog.list()->viewport(), Qt::LeftButton, {},
                            centreOf(dialog.list(), item));
     }},
};

INSTANTIATE_TEST_SUITE_P(Ways, AcceptTest, testing::ValuesIn(kAcceptCases),
                         testing_support::CaseName());

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

// Takes the addresses the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

TEST(AboutBox, ComesFromTheToolbarAndVisitsTheWebSiteStayingOpen) {
    AppHarness harness;
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"https"_s, &catcher, "open");
    harness.prompter().runDialogNext([&catcher](QDialog &dialog) {
        EXPECT_NE(dynamic_cast<CAboutDialog *>(&dialog), nullptr);
        EXPECT_EQ(dialog.windowTitle(), u"About Tarvo"_s);
        dialog.show();
        auto *address = dialog.findChild<QLabel *>(u"address"_s);
        EXPECT_EQ(address->text(), CAboutDialog::kWebSiteAddress);
        EXPECT_FALSE(dialog.findChild<QLabel *>(u"picture"_s)->pixmap().isNull());
        auto *visit =
            dialog.findChild<QPushButton *>(u"button%1"_s.arg(CAboutDialog::kVisitWebSiteId));
        EXPECT_EQ(visit->text(), u"Visit Web Site"_s);
        QTest::mouseClick(visit, Qt::LeftButton);
        EXPECT_EQ(catcher.opened, QList<QUrl>{QUrl(CAboutDialog::kWebSiteAddress)});
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        return dialog.result();
    });
    // The tip of the day may have run at start-up: only the About box counts here.
    const int dialogsBefore = harness.prompter().dialogsRun();
    harness.mainFrame().toolBarAction(128, CommandId::AppAbout)->trigger();
    QDesktopServices::unsetUrlHandler(u"https"_s);
    EXPECT_EQ(harness.prompter().dialogsRun() - dialogsBefore, 1);
}

} // namespace

#include "smalldialogs_test.moc"
