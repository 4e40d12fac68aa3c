#pragma once

#include <QString>

// A file named on the command line, and where in it to go.
struct FilePosition {
    QString path;
    int line = 0;   // 1-based; 0 when none was named
    int column = 0; // 1-based; 0 when none was named
};

// Reads a name as other editors do: "FILE:LINE" or "FILE:LINE:COLUMN" names a place in FILE.
// A name that is an existing file is always that file, whatever it ends in; a suffix is split
// off only when what is left is an existing file. Any other name is taken whole, so that a
// failed open names what was asked for.
FilePosition splitFilePosition(const QString &argument);
