#pragma once

#include "javaservice/javaserviceclient.h"

// The Java service client of this Tarvo: made at its first use, parented to the application so
// that its services end when the application ends (their input closes). The help folders it
// compiles the service from are those of the program's folder at the time of asking. When a
// JDK's service cannot be started, the status bar says so once.
javaservice::JavaServiceClient &javaServices();
// Whether the setting keeps a Java compiler running (Preferences, OPTIONS/KEEPCOMPILER).
bool keepsCompilerRunning();
// Whether the JDK may have a service: Java 9 or later by its release file, and its service has
// not been found unable to start.
bool javaServiceCanServe(const QString &jdkFolder);
// Lets every running service go (the setting was turned off).
void endJavaServices();
