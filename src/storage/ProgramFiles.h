#pragma once

#include <QString>

// Where the program keeps its files inside the program folder.
namespace ProgramFiles {

// <program folder>/images: the fixed pictures and every cover.
QString ImagesFolder(const QString &programFolder);
// <program folder>/images/<ID>.jpg, whatever the picture's own format.
QString Cover(const QString &programFolder, qint64 titleId);
// The two pictures the program brings (nothing.jpg, no_records.jpg), not a user's cover.
bool IsFixedPicture(const QString &fileName);

} // namespace ProgramFiles
