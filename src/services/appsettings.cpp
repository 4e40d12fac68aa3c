#include "services/appsettings.h"

#include "framework/profile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kOptions = QStringLiteral("OPTIONS");
const QString kPaths = QStringLiteral("PATHS");

QString recentKey(int index) {
    return QStringLiteral("RECENT") + QChar(QLatin1Char('1').unicode() + index);
}

ColourRef readColour(const fw::Profile &profile, const QString &key, ColourRef defaultValue) {
    return static_cast<ColourRef>(profile.readInt(kOptions, key, static_cast<int>(defaultValue)));
}

} // namespace

QString AppSettings::defaultJdkFolder() {
    const QString javaHome = qEnvironmentVariable("JAVA_HOME");
    if (!javaHome.isEmpty()) {
        return QDir::cleanPath(javaHome);
    }
    const QString javac = QStandardPaths::findExecutable(QStringLiteral("javac"));
    if (!javac.isEmpty()) {
        const QString resolved = QFileInfo(javac).canonicalFilePath();
        const QString suffix = QStringLiteral("/bin/javac");
        if (resolved.endsWith(suffix)) {
            return resolved.left(resolved.size() - suffix.size());
        }
    }
    return QStringLiteral("/usr/lib/jvm/default-java");
}

void AppSettings::LoadSettings(const fw::Profile &profile) {
    jdkFolder = profile.readString(kPaths, QStringLiteral("JAVABIN"), defaultJdkFolder());
    javacOptions = profile.readString(kOptions, QStringLiteral("JAVAC"), QString());
    saveBeforeCompile = profile.readInt(kOptions, QStringLiteral("SAVECOMP"), 1);
    loadLastProject = profile.readInt(kOptions, QStringLiteral("LOADLAST"), 1);
    sourceFontName =
        profile.readString(kOptions, QStringLiteral("FONTNAME"), QStringLiteral("Courier New"));
    sourceFontSize = profile.readInt(kOptions, QStringLiteral("FONTSIZE"), 100);
    outputWindowRect.left = profile.readInt(kOptions, QStringLiteral("DLG_LEFT"), 0);
    outputWindowRect.top = profile.readInt(kOptions, QStringLiteral("DLG_TOP"), 0);
    outputWindowRect.right = profile.readInt(kOptions, QStringLiteral("DLG_RIGHT"), 0);
    outputWindowRect.bottom = profile.readInt(kOptions, QStringLiteral("DLG_BOTTOM"), 0);
    lastOpenProject = profile.readString(kOptions, QStringLiteral("LASTOPEN"), QString());
    outputFontName =
        profile.readString(kOptions, QStringLiteral("DLGFONTNAME"), QStringLiteral("Courier New"));
    outputFontSize = profile.readInt(kOptions, QStringLiteral("DLGFONTSIZE"), 90);
    keywordColour = readColour(profile, QStringLiteral("KEYCOLOR"), 0x00DD0000);
    commentColour = readColour(profile, QStringLiteral("COMMENTCOLOR"), 0x000000DD);
    stringColour = readColour(profile, QStringLiteral("STRINGCOLOR"), 0x00006600);
    showLineNumbers = profile.readInt(kOptions, QStringLiteral("LINENUMBERS"), 0);
    keepCompilerRunning = profile.readInt(kOptions, QStringLiteral("KEEPCOMPILER"), 1);

    // Gaps are closed up: only the keys that hold a path count.
    recentProjects.clear();
    for (int index = 0; index < kStoredRecentProjects; ++index) {
        const QString path = profile.readString(kOptions, recentKey(index), QString());
        if (!path.isEmpty()) {
            recentProjects << path;
        }
    }
}

void AppSettings::SaveLineNumbers(fw::Profile &profile) const {
    profile.writeInt(kOptions, QStringLiteral("LINENUMBERS"), showLineNumbers);
    profile.sync();
}

void AppSettings::SavePreferences(fw::Profile &profile) const {
    profile.writeString(kPaths, QStringLiteral("JAVABIN"), jdkFolder);
    profile.writeString(kOptions, QStringLiteral("JAVAC"), javacOptions);
    profile.writeInt(kOptions, QStringLiteral("SAVECOMP"), saveBeforeCompile);
    profile.writeInt(kOptions, QStringLiteral("LOADLAST"), loadLastProject);
    profile.writeInt(kOptions, QStringLiteral("KEYCOLOR"), static_cast<int>(keywordColour));
    profile.writeInt(kOptions, QStringLiteral("COMMENTCOLOR"), static_cast<int>(commentColour));
    profile.writeInt(kOptions, QStringLiteral("STRINGCOLOR"), static_cast<int>(stringColour));
    profile.writeInt(kOptions, QStringLiteral("KEEPCOMPILER"), keepCompilerRunning);
    profile.sync();
}

void AppSettings::SaveSourceFont(fw::Profile &profile) const {
    profile.writeString(kOptions, QStringLiteral("FONTNAME"), sourceFontName);
    profile.writeInt(kOptions, QStringLiteral("FONTSIZE"), sourceFontSize);
    profile.sync();
}

void AppSettings::SaveOutputWindowRect(fw::Profile &profile, int left, int top, int right,
                                       int bottom) {
    outputWindowRect = {left, top, right, bottom};
    profile.writeInt(kOptions, QStringLiteral("DLG_LEFT"), left);
    profile.writeInt(kOptions, QStringLiteral("DLG_TOP"), top);
    profile.writeInt(kOptions, QStringLiteral("DLG_RIGHT"), right);
    profile.writeInt(kOptions, QStringLiteral("DLG_BOTTOM"), bottom);
    profile.sync();
}

void AppSettings::SaveOutputFont(fw::Profile &profile) const {
    profile.writeString(kOptions, QStringLiteral("DLGFONTNAME"), outputFontName);
    profile.writeInt(kOptions, QStringLiteral("DLGFONTSIZE"), outputFontSize);
    profile.sync();
}

void AppSettings::AddRecentProject(const QString &path) {
    if (path.isEmpty() || recentProjects.contains(path)) {
        return;
    }
    recentProjects.prepend(path);
}

void AppSettings::SaveLastOpenAndRecent(fw::Profile &profile, const QString &path) const {
    profile.writeString(kOptions, QStringLiteral("LASTOPEN"), path);
    for (int index = 0; index < kStoredRecentProjects && index < recentProjects.size(); ++index) {
        profile.writeString(kOptions, recentKey(index), recentProjects.at(index));
    }
    profile.sync();
}
