#include "ImportedCover.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace ImportedCover {

QString Fault(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QStringLiteral("the cover is empty");
    if (bytes.size() > kMaxBytes)
        return QStringLiteral("the cover is larger than %1 MB").arg(kMaxBytes >> 20);
    const bool picture = bytes.startsWith("\xFF\xD8\xFF") || bytes.startsWith("\x89PNG\r\n\x1A\n")
                         || bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")
                         || (bytes.startsWith("BM") && bytes.size() > 26);
    return picture ? QString() : QStringLiteral("the cover is not a JPEG, PNG, GIF or BMP picture");
}

bool Write(const QString &imagesFolder, qint64 titleId, const QByteArray &bytes, QString *error)
{
    const QString target =
        QDir(imagesFolder).filePath(QString::number(titleId) + QStringLiteral(".jpg"));
    // A link planted under a new title's name would be written through.
    if (QFileInfo(target).isSymLink()) {
        *error =
            QStringLiteral("%1 is a link, not a cover file").arg(QDir::toNativeSeparators(target));
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace ImportedCover
