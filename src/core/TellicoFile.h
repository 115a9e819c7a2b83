#pragma once

#include "ImportPlan.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The collection files of the best-known open-source catalogue program: a zip archive
// holding tellico.xml and an images/ folder, or the bare tellico.xml (images then inside
// it, base64). Only video collections become titles.
//
// Hostile files are expected: entries are read into memory only (their names are never
// used as paths), each at most a cap, the XML's nesting and entity expansion are capped.
namespace TellicoFile {

// How much is read from an archive: tellico.xml, one picture, all pictures.
constexpr qint64 kMaxXml = 256 << 20;
constexpr qint64 kMaxImages = 1024ll << 20;
constexpr int kMaxDepth = 64;

struct Result
{
    QString fault; // why nothing can be imported (names the element or line)
    QList<ImportPlan::Entry> entries;
    QStringList ignored; // fields of the entries that are not imported
};

// Whether the bytes look like such a file at all (a zip archive or XML).
bool Looks(const QByteArray &bytes);

// Nothing (no fault, no entries) when progress cancels.
Result Read(const QByteArray &bytes, const ImportPlan::Progress &progress = {});

} // namespace TellicoFile
