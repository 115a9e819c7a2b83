#include "ProgramFiles.h"

namespace ProgramFiles {

QString ImagesFolder(const QString &programFolder)
{
    return programFolder + QStringLiteral("/images");
}

QString Cover(const QString &programFolder, qint64 titleId)
{
    return ImagesFolder(programFolder) + QLatin1Char('/') + QString::number(titleId)
           + QStringLiteral(".jpg");
}

} // namespace ProgramFiles

bool ProgramFiles::IsFixedPicture(const QString &fileName)
{
    return fileName == QLatin1String("nothing.jpg") || fileName == QLatin1String("no_records.jpg");
}
