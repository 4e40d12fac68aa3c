#pragma once

#include "tools/runoptions.h"

#include <QString>

// A project's run settings and libraries, kept in a small file beside the project file
// (Name.jpr.ini for Name.jpr), so that the project file keeps its fixed format and the
// settings go wherever the project's folder goes. Paths below the project's folder are stored
// relative to it and so still hold after the folder has moved; others are stored whole. In
// memory every path is full.
namespace projectsettings {

QString settingsPath(const QString &projectPath);

// What the file beside projectPath holds; empty options when there is none or it cannot be read.
jdk::RunOptions load(const QString &projectPath);
// Writes the options beside projectPath; with nothing set, removes the file instead. False with
// the reason when it cannot.
bool store(const QString &projectPath, const jdk::RunOptions &options, QString *error);

bool isEmpty(const jdk::RunOptions &options);

} // namespace projectsettings
