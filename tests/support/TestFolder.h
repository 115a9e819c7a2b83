#pragma once

#include "Module1.h"

#include <QColor>
#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QVector>
#include <memory>

// A freshly prepared program folder (catalogue + images) for one test case, with a
// connection of its own to put rows in and read them back, independent of the program.
// The program's remembered settings (QSettings' INI user scope) go to this folder too.
class TestFolder
{
public:
    TestFolder();
    ~TestFolder();

    bool IsValid() const { return m_valid; }
    QString Path() const { return m_dir.path(); }
    QString CataloguePath() const { return Path() + QStringLiteral("/dvd_collection.mdb"); }
    QString ImagesPath() const { return Path() + QStringLiteral("/images"); }

    // Shared state pointing at this folder, with InitializeDatabasePath already run.
    std::unique_ptr<Module1> MakeShared() const;

    struct Title
    {
        QString title;
        QVariant subTitle = QString();
        QVariant date = QStringLiteral("1999");
        QVariant director = QStringLiteral("Some Director");
        QVariant summary = QString();
        QVariant features = QString();
        QVariant eggs = QString();
        int wishList = 0;
        QStringList genres{};                      // names; created when missing
        QVector<QPair<QVariant, QVariant>> cast{}; // actor, character
    };
    // Inserts a title with its genre links and cast; returns its ID.
    qint64 AddTitle(const Title &title);
    qint64 AddGenre(const QString &name);
    qint64 GenreId(const QString &name);
    // A title's genre names, in name order.
    QStringList GenreNames(qint64 titleId);

    // Runs a statement on the test's own connection; fails the test on error.
    void Exec(const QString &statement, const QVariantList &values = {});
    // All rows of a query, each row its values in column order.
    QVector<QVariantList> Rows(const QString &statement, const QVariantList &values = {});
    QVariant Scalar(const QString &statement, const QVariantList &values = {});

    // Writes a picture of the given format and size to images/<name>.
    QString WritePicture(const QString &name, const char *format, int width, int height,
                         const QColor &colour = Qt::darkCyan);
    // A picture of one colour in the given format.
    static QByteArray PictureBytes(const char *format, int width, int height,
                                   const QColor &colour = Qt::darkCyan);
    // Writes raw bytes to images/<name>.
    QString WriteImageFile(const QString &name, const QByteArray &bytes);
    // A 40 x 90 GIF, red top half over blue bottom half (Qt reads GIF but cannot write it).
    static QByteArray SampleGif();
    // A file's bytes (empty when it cannot be read), and bytes written to a file.
    static QByteArray ReadFile(const QString &path);
    static bool WriteFile(const QString &path, const QByteArray &bytes);
    // A zip archive of the named entries (names taken as they are, "../" too), in memory.
    static QByteArray Zip(const QList<std::pair<QByteArray, QByteArray>> &entries);
    // The catalogue's bytes, to check that something left it exactly as it was.
    QByteArray CatalogueBytes() const { return ReadFile(CataloguePath()); }

    // Close the test's own connection (for tests that replace or lock the file).
    void CloseConnection();

private:
    QSqlDatabase db();

    QTemporaryDir m_dir;
    QString m_connectionName;
    bool m_valid = false;
};
