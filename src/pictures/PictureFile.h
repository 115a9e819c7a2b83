#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// A picture file read by its content, whatever its name's extension says (a GIF stored
// as 57.jpg is still a GIF), with its orientation applied as the cover display does.
class PictureFile
{
public:
    // Decodes the picture stretched to exactly `stretchTo` (no aspect ratio kept); a
    // large picture is never decoded at its full size. A null image when the file is
    // missing, unreadable or not a picture; `size` then stays invalid.
    static QImage Read(const QString &path, const QSize &stretchTo, QSize *size = nullptr);
};
