#pragma once

#include <QString>

namespace sonaveil::platform {

// A path as a file dialog shows it: a folder the program reaches through a handle name
// ("/proc/self/fd/N", a folder whose name is not UTF-8) under a name the user can read that
// leads to the same place (ProgramFolder::readablePath); any other path as it is.
QString dialogPath(const QString& path);
// What a file dialog answered, under the program's own name for the folder again.
QString fromDialogPath(const QString& path);

} // namespace sonaveil::platform
