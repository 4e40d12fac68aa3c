#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace fw {
class Profile;
}

// A colour as stored in the settings: 0x00BBGGRR.
using ColourRef = std::uint32_t;

// Where the output window was last, in screen pixels; all zero when it was never placed.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool isNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
};

// The user's preferences, read once at start-up and written back, group by group, by the
// operation that changes them. Every part of Tarvo reads its settings here. Sections and keys
// are those of the settings store (OPTIONS, PATHS); an absent value reads as its default.
class AppSettings {
public:
    ColourRef keywordColour = 0x00DD0000;
    ColourRef commentColour = 0x000000DD;
    ColourRef stringColour = 0x00006600;
    // Most recently closed first; never two equal entries; only the first 8 are stored.
    QStringList recentProjects;
    int outputFontSize = 90; // tenths of a point
    QString outputFontName = QStringLiteral("Courier New");
    int loadLastProject = 1;
    WindowRect outputWindowRect;
    QString lastOpenProject;
    int sourceFontSize = 100; // tenths of a point
    QString sourceFontName = QStringLiteral("Courier New");
    int saveBeforeCompile = 1;
    QString javacOptions;
    QString jdkFolder;
    // Line numbers beside the text of source and HTML windows (LINENUMBERS).
    int showLineNumbers = 0;
    // Builds and checks go through a Java compiler kept running (KEEPCOMPILER).
    int keepCompilerRunning = 1;

    static constexpr int kStoredRecentProjects = 8;

    // Reads every member from the store, in the store's key order.
    void LoadSettings(const fw::Profile &profile);

    // Writes JAVABIN, JAVAC, SAVECOMP, LOADLAST, KEYCOLOR, COMMENTCOLOR, STRINGCOLOR, then
    // KEEPCOMPILER.
    void SavePreferences(fw::Profile &profile) const;
    void SaveSourceFont(fw::Profile &profile) const;
    void SaveOutputWindowRect(fw::Profile &profile, int left, int top, int right, int bottom);
    void SaveOutputFont(fw::Profile &profile) const;
    void SaveLineNumbers(fw::Profile &profile) const;
    // Puts a project first unless it is already listed (then the list keeps its order).
    void AddRecentProject(const QString &path);
    // Writes LASTOPEN = path, then the first entries of recentProjects as RECENT1 ...
    void SaveLastOpenAndRecent(fw::Profile &profile, const QString &path) const;

    // The JDK folder used when none is stored: $JAVA_HOME, else the JDK that the javac on
    // PATH belongs to, else /usr/lib/jvm/default-java.
    static QString defaultJdkFolder();
};
