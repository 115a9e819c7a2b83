#include "ImportedCover.h"

#include "AtomicFile.h"
#include "ProgramFiles.h"

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

bool Write(const QString &programFolder, qint64 titleId, const QByteArray &bytes, QString *error)
{
    // The program's one file writer: never through a link planted under the cover's name,
    // synced before it takes the name.
    AtomicFile file(ProgramFiles::Cover(programFolder, titleId));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace ImportedCover
