#pragma once

#include <QString>

namespace jdk {

// Why a tool could not be started, told so that the user can mend it: the program missing from
// its folder or not runnable (with where the JDK folder is set), or the folder to run in
// missing. Empty when neither explains the failure.
QString toolStartFailureDetail(const QString &program, const QString &folder);

} // namespace jdk
