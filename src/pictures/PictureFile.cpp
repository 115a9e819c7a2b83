#include "PictureFile.h"

#include <QImageIOHandler>
#include <QImageReader>

QImage PictureFile::Read(const QString &path, const QSize &stretchTo, QSize *size)
{
    if (size)
        *size = QSize();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QSize stored = reader.size();
    if (!stored.isValid() || stretchTo.isEmpty())
        return {};
    // The scaled size applies before the orientation is: ask for the stored orientation.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    reader.setScaledSize(turned ? stretchTo.transposed() : stretchTo);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (size)
        *size = turned ? stored.transposed() : stored;
    if (image.size() != stretchTo)
        image = image.scaled(stretchTo, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}
