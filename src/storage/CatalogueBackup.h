#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <stdexcept>

// A consistent copy of the catalogue (taken through the engine while the program may be
// using it) and of the images folder, in a new folder "Reelvane backup YYYY-MM-DD HHMMSS".
// The copy is built under a hidden temporary name, checked through a connection of its
// own, and only then given its name; on any failure or a cancel the temporary folder is
// removed and nothing is left behind. An existing folder is never written into.
namespace CatalogueBackup {

struct Result
{
    QString folder;   // the finished backup
    qint64 bytes = 0; // its size on disk
    int pictures = 0;
};

// Why a backup was not made, in words for the user.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &Message() const { return m_message; }

private:
    QString m_message;
};

// done of total steps (the catalogue is one, each picture another); false cancels.
using Progress = std::function<bool(qint64 done, qint64 total)>;

QString FolderName(const QDateTime &when);

// Returns the backup, or no folder (empty Result) when cancelled; throws Failure.
Result Make(const QString &programFolder, const QString &connectionString,
            const QString &destination, const QDateTime &when, const Progress &progress);

} // namespace CatalogueBackup
