#include "platform/dialogpaths.h"

#include "common/programfolder.h"

#include <QFile>

namespace sonaveil::platform {

QString dialogPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    return QFile::decodeName(ProgramFolder::readablePath(QFile::encodeName(path).toStdString()).c_str());
}

QString fromDialogPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    return QFile::decodeName(ProgramFolder::fromReadablePath(QFile::encodeName(path).toStdString()).c_str());
}

} // namespace sonaveil::platform
