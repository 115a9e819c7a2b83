#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Every picture file the program shows (a cover, the chooser's preview, a thumbnail) is
// decoded here: by its content, whatever its name's extension says (a GIF stored as
// 57.jpg is still a GIF), turned the way its orientation tag says, and straight at the
// size it is shown at, so a large picture never costs its full size. Decoding a large
// file shows the busy pointer.
class PictureDecoder
{
public:
    // The picture at the size `box` gives: fitted inside it (KeepAspectRatio) or stretched
    // to exactly it (IgnoreAspectRatio). A null image when the file is missing, unreadable
    // or not a picture; `size` (the picture's own size, turned) then stays invalid.
    static QImage Read(const QString &path, const QSize &box, Qt::AspectRatioMode mode,
                       QSize *size = nullptr);
};
