#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Covers that come with imported titles: checked before the import, written once the
// titles are stored.
namespace ImportedCover {

// The largest cover read from a file or an archive.
constexpr qint64 kMaxBytes = 16 << 20;

// Why the bytes cannot be a cover (empty when they can): too large, or none of the
// picture kinds the cover chooser takes (JPEG, PNG, GIF, BMP), told by their first bytes.
QString Fault(const QByteArray &bytes);

// Writes the bytes as the title's cover file in programFolder's images folder, all or nothing. The
// one place an import writes a picture; false with error set when it could not.
bool Write(const QString &programFolder, qint64 titleId, const QByteArray &bytes, QString *error);

} // namespace ImportedCover
