#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The three kinds of project that New Project makes, and the texts of the files it writes for
// them. The texts are string resources (ids below) with line feeds and a placeholder class
// name; a written file has the class name in place of every placeholder and CR LF line ends,
// with no line end after the last line.
namespace NewProjectTemplates {

enum class ProjectKind { Empty = 0, Application = 1, Applet = 2 };

// String resources of the template texts.
inline constexpr int kApplicationSourceId = 32830;
inline constexpr int kAppletPageId = 32831;
inline constexpr int kAppletSourceId = 32832;

// The class names the templates are written with.
inline constexpr char kApplicationPlaceholder[] = "MainFrame";
inline constexpr char kAppletPlaceholder[] = "MyApplet";

// The HTML page of an applet project, in the folder of the project file.
inline constexpr char kAppletPageName[] = "Example1.html";

// The template text with every occurrence of placeholder replaced by className, compared
// exactly and case-sensitively.
QString substitute(const QString &text, const QString &placeholder, const QString &className);

// The bytes of a file written from a text with line feeds: UTF-8, every line feed as CR LF.
QByteArray fileBytes(const QString &text);

// Whether a class name would put the source file outside the project's folder: it holds a
// path separator ('/' here, '\' where that is one; both are refused everywhere, so that a
// project made on one system is made the same on another).
bool holdsPathSeparator(const QString &className);

// Whether a name can name a Java class: a letter, '_' or '$' first, then letters, digits, '_'
// and '$', and not one of Java's reserved words nor a word that may name no type (var, yield,
// record, sealed, permits). Any other name makes a source file that
// cannot compile.
bool isJavaClassName(const QString &className);

// The classes a kind's template names by their simple names: a main class of one of these
// names would stand in for the class the template means, and the project would not compile or
// would not run (a String of its own leaves the class without a main method Java can start).
QStringList templateClassNames(ProjectKind kind);

} // namespace NewProjectTemplates
