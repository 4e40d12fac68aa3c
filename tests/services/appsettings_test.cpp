#include "services/appsettings.h"
#include "framework/profile.h"
#include "support/testenvironment.h"

#include <gtest/gtest.h>

namespace {

const QString kOptions = QStringLiteral("OPTIONS");

QString freshSettingsFile() {
    return testing_support::makeScratchFolder(QStringLiteral("settings"))
           + QStringLiteral("/Tarvo.conf");
}

TEST(AppSettings, DefaultsWithNothingStored) {
    fw::Profile profile(freshSettingsFile());
    AppSettings settings;
    settings.LoadSettings(profile);

    EXPECT_EQ(settings.jdkFolder, AppSettings::defaultJdkFolder());
    EXPECT_EQ(settings.javacOptions, QString());
    EXPECT_EQ(settings.saveBeforeCompile, 1);
    EXPECT_EQ(settings.loadLastProject, 1);
    EXPECT_EQ(settings.sourceFontName, QStringLiteral("Courier New"));
    EXPECT_EQ(settings.sourceFontSize, 100);
    EXPECT_EQ(settings.outputFontName, QStringLiteral("Courier New"));
    EXPECT_EQ(settings.outputFontSize, 90);
    EXPECT_TRUE(settings.outputWindowRect.isNull());
    EXPECT_EQ(settings.lastOpenProject, QString());
    EXPECT_TRUE(settings.recentProjects.isEmpty());
    EXPECT_EQ(settings.keywordColour, 0x00DD0000u);
    EXPECT_EQ(settings.commentColour, 0x000000DDu);
    EXPECT_EQ(settings.stringColour, 0x00006600u);
    // Loading writes nothing: a fresh installation has no stored values.
    EXPECT_FALSE(profile.contains(QStringLiteral("PATHS"), QStringLiteral("JAVABIN")));
}

TEST(AppSettings, DefaultJdkFolderFollowsJavaHome) {
    const QByteArray saved = qgetenv("JAVA_HOME");
    qputenv("JAVA_HOME", "/opt/some-jdk/");
    EXPECT_EQ(AppSettings::defaultJdkFolder(), QStringLiteral("/opt/some-jdk"));
    qunsetenv("JAVA_HOME");
    const QString found = AppSettings::defaultJdkFolder();
    EXPECT_FALSE(found.endsWith(QStringLiteral("/bin/javac")));
    EXPECT_FALSE(found.isEmpty());
    if (!saved.isEmpty()) {
        qputenv("JAVA_HOME", saved);
    }
}

TEST(AppSettings, StoredValuesAreReadBack) {
    const QString file = freshSettingsFile();
    {
        fw::Profile profile(file);
        AppSettings settings;
        settings.jdkFolder = QStringLiteral("/jdk");
        settings.javacOptions = QStringLiteral("-g");
        settings.saveBeforeCompile = 0;
        settings.loadLastProject = 0;
        settings.keywordColour = 0x00123456;
        settings.SavePreferences(profile);
        settings.sourceFontName = QStringLiteral("Mono");
        settings.sourceFontSize = 120;
        settings.SaveSourceFont(profile);
        settings.outputFontName = QStringLiteral("Fixed");
        settings.outputFontSize = 80;
        settings.SaveOutputFont(profile);
        settings.SaveOutputWindowRect(profile, 1, 2, 300, 400);
    }
    fw::Profile profile(file);
    AppSettings settings;
    settings.LoadSettings(profile);
    EXPECT_EQ(settings.jdkFolder, QStringLiteral("/jdk"));
    EXPECT_EQ(settings.javacOptions, QStringLiteral("-g"));
    EXPECT_EQ(settings.saveBeforeCompile, 0);
    EXPECT_EQ(settings.loadLastProject, 0);
    EXPECT_EQ(settings.keywordColour, 0x00123456u);
    EXPECT_EQ(settings.commentColour, 0x000000DDu);
    EXPECT_EQ(settings.sourceFontName, QStringLiteral("Mono"));
    EXPECT_EQ(settings.sourceFontSize, 120);
    EXPECT_EQ(settings.outputFontName, QStringLiteral("Fixed"));
    EXPECT_EQ(settings.outputFontSize, 80);
    EXPECT_EQ(settings.outputWindowRect.right, 300);
    EXPECT_EQ(settings.outputWindowRect.bottom, 400);
}

TEST(AppSettings, RecentProjectGapsCloseUpAndOldKeysStay) {
    const QString file = freshSettingsFile();
    fw::Profile profile(file);
    profile.writeString(kOptions, QStringLiteral("RECENT3"), QStringLiteral("/p/three.jpr"));
    AppSettings settings;
    settings.LoadSettings(profile);
    ASSERT_EQ(settings.recentProjects, QStringList{QStringLiteral("/p/three.jpr")});

    settings.SaveLastOpenAndRecent(profile, QString());
    EXPECT_EQ(profile.readString(kOptions, QStringLiteral("RECENT1")),
              QStringLiteral("/p/three.jpr"));
    EXPECT_EQ(profile.readString(kOptions, QStringLiteral("RECENT3")),
              QStringLiteral("/p/three.jpr"));
    EXPECT_EQ(profile.readString(kOptions, QStringLiteral("LASTOPEN"), QStringLiteral("x")),
              QString());
}

TEST(AppSettings, RecentProjectsKeepOrderStoreEightAndIgnoreEmpty) {
    fw::Profile profile(freshSettingsFile());
    AppSettings settings;
    settings.AddRecentProject(QStringLiteral("/a.jpr"));
    settings.AddRecentProject(QStringLiteral("/b.jpr"));
    settings.AddRecentProject(QStringLiteral("/a.jpr")); // already listed: not moved
    settings.AddRecentProject(QString());
    EXPECT_EQ(settings.recentProjects,
              (QStringList{QStringLiteral("/b.jpr"), QStringLiteral("/a.jpr")}));

    settings.recentProjects.clear();
    for (int index = 1; index <= 9; ++index) {
        settings.AddRecentProject(QStringLiteral("/p%1.jpr").arg(index));
    }
    settings.SaveLastOpenAndRecent(profile, QStringLiteral("/p9.jpr"));
    EXPECT_EQ(settings.recentProjects.size(), 9);
    EXPECT_EQ(profile.readString(kOptions, QStringLiteral("RECENT1")), QStringLiteral("/p9.jpr"));
    EXPECT_EQ(profile.readString(kOptions, QStringLiteral("RECENT8")), QStringLiteral("/p2.jpr"));
    EXPECT_FALSE(profile.contains(kOptions, QStringLiteral("RECENT9")));
    EXPECT_EQ(profile.readString(kOptions, QStringLiteral("LASTOPEN")), QStringLiteral("/p9.jpr"));
}

} // namespace
