#pragma once

#include <QString>
#include <QStringView>

// Where the import of a class goes in a Java source, and whether it is wanted at all.
namespace editors {

struct ImportPlan {
    enum class Need {
        None,     // the class is named without one: java.lang, this package, imported already
        Insert,   // text goes in at position
        Conflict, // another class of that simple name is imported: name it in full instead
    };
    Need need = Need::None;
    int position = 0;
    QString text;
};

// The plan for naming qualifiedName by its simple name in the source text (line breaks as
// '\n'). Only the package and import statements at the top are read, comments skipped. A new
// import goes among the others in the order of their names (after the last one when it sorts
// last); the first one goes on its own line after the package statement, set off by blank
// lines, or at the very top of a file without one. A class of the default package cannot be
// imported and needs none.
ImportPlan planImport(QStringView text, const QString &qualifiedName);

} // namespace editors
