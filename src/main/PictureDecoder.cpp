#include "PictureDecoder.h"

#include "BusyPointer.h"

#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <optional>

namespace {
// Above this a decode takes long enough for the pointer to say so.
constexpr qint64 kLargeFileBytes = qint64{2} * 1024 * 1024;
} // namespace

QImage PictureDecoder::Read(const QString &path, const QSize &box, Qt::AspectRatioMode mode,
                            QSize *size)
{
    if (size)
        *size = QSize();
    std::optional<BusyPointer> busy;
    if (QFileInfo(path).size() > kLargeFileBytes)
        busy.emplace();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || box.isEmpty())
        return {};
    // The scaled size applies before the orientation does: the size shown is worked out
    // on the turned picture, then asked for in the stored orientation.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize shown = turned ? stored.transposed() : stored;
    const QSize wanted = shown.scaled(box, mode);
    reader.setScaledSize(turned ? wanted.transposed() : wanted);
    // The reader scales itself where a format cannot: no picture is enlarged after decoding.
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    if (size)
        *size = shown;
    return image;
}
