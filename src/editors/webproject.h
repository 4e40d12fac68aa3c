#pragma once

#include <QString>

// What an HTML window needs of the open project: the file name of its main Java file, whose
// class an inserted applet tag names. The project document implements it.
class WebProject {
public:
    virtual ~WebProject() = default;

    // Such as MyApplet.java; empty while no main file is set.
    virtual QString mainFile() const = 0;
};
