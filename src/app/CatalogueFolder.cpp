#include "CatalogueFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QString kImages = QStringLiteral("images");
const QStringList kFixedPictures = {QStringLiteral("nothing.jpg"),
                                    QStringLiteral("no_records.jpg")};

QString templateMissing(const QString &templateFolder, const QString &userFolder)
{
    return QStringLiteral("The prepared catalogue that Reelvane copies on its first start "
                          "is missing or cannot be read:\n%1\n\nNo catalogue was made in "
                          "%2. Reinstall Reelvane, or start it with --catalogue-folder and "
                          "a folder that holds a catalogue.")
        .arg(QDir::toNativeSeparators(templateFolder), QDir::toNativeSeparators(userFolder));
}

// Copies source to target through target.partial, renamed into place only when complete
// and on disk, so a copy cut short never leaves a file under the target's name. An
// existing target is never replaced. Returns an error text, empty on success.
// sourceError: the text when source cannot be read; header: what source must begin with.
QString copyWhole(const QString &source, const QString &target, const QString &sourceError,
                  const QByteArray &header = {})
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return sourceError;
    if (!header.isEmpty() && in.peek(header.size()) != header)
        return sourceError;

    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    QFile out(partial);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("Cannot write %1: %2")
            .arg(QDir::toNativeSeparators(partial), out.errorString());
    QString error;
    while (error.isEmpty() && !in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            error = sourceError;
        else if (out.write(chunk) != chunk.size())
            error = QStringLiteral("Cannot write %1: %2")
                        .arg(QDir::toNativeSeparators(partial), out.errorString());
    }
    if (error.isEmpty() && (!out.flush() || ::fsync(out.handle()) != 0))
        error = QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(partial));
    out.close();
    if (error.isEmpty() && !QFile::rename(partial, target))
        error = QStringLiteral("Cannot create %1").arg(QDir::toNativeSeparators(target));
    if (!error.isEmpty())
        QFile::remove(partial);
    return error;
}

bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

CatalogueFolder::Choice fromTemplate(const QString &templateFolder, const QString &userFolder)
{
    CatalogueFolder::Choice choice{userFolder, {}};
    const QString missing = templateMissing(templateFolder, userFolder);
    if (userFolder.isEmpty() || !QDir().mkpath(userFolder + QLatin1Char('/') + kImages)) {
        choice.error = QStringLiteral("Cannot create the folder for the catalogue:\n%1")
                           .arg(QDir::toNativeSeparators(userFolder));
    } else if (const QString catalogue =
                   userFolder + QLatin1Char('/') + CatalogueFolder::CatalogueName();
               !present(catalogue)) {
        choice.error =
            copyWhole(templateFolder + QLatin1Char('/') + CatalogueFolder::CatalogueName(),
                      catalogue, missing, QByteArrayLiteral("SQLite format 3\0"));
    }
    // The fixed pictures after the catalogue; one missing (a first start cut short) is
    // put back, a user's catalogue is not touched for it.
    for (const QString &picture : kFixedPictures) {
        const QString name = kImages + QLatin1Char('/') + picture;
        if (choice.error.isEmpty() && !present(userFolder + QLatin1Char('/') + name))
            choice.error = copyWhole(templateFolder + QLatin1Char('/') + name,
                                     userFolder + QLatin1Char('/') + name, missing);
    }
    if (!choice.error.isEmpty())
        choice.folder.clear();
    return choice;
}

} // namespace

const QString &CatalogueFolder::CatalogueName()
{
    static const QString name = QStringLiteral("dvd_collection.mdb");
    return name;
}

QString CatalogueFolder::TemplateFolder(const QString &executableFolder)
{
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/reelvane"));
}

bool CatalogueFolder::IsWritable(const QString &folder)
{
    return QFileInfo(folder).isWritable();
}

CatalogueFolder::Places CatalogueFolder::ForThisProcess(const QString &requestedFolder)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return {QCoreApplication::applicationDirPath(), requestedFolder,
            data.isEmpty() ? QString() : data + QStringLiteral("/reelvane")};
}

CatalogueFolder::Choice CatalogueFolder::Choose(const Places &places, const Writable &writable)
{
    if (!places.requestedFolder.isEmpty())
        return {QDir(places.requestedFolder).absolutePath(), {}};
    const QString own = QDir::cleanPath(places.executableFolder);
    if (QFileInfo::exists(own + QLatin1Char('/') + CatalogueName()) && writable(own))
        return {own, {}};
    return fromTemplate(TemplateFolder(own), QDir::cleanPath(places.userFolder));
}
