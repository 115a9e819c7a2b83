#pragma once

#include <QIODevice>
#include <QList>
#include <QString>

// Every file the program writes for the user (covers, exports, backup's pictures), all or
// nothing, used like QSaveFile: open, write, commit (or cancelWriting). The bytes go to a
// new file beside the target (O_EXCL | O_NOFOLLOW: nothing planted is ever opened); every
// write, the sync, the size and the close are checked; only then is it renamed over the
// target (a symbolic link there is itself replaced) and the folder synced.
// QSaveFile is not enough: it ignores a failed sync and writes through a symbolic link.
class AtomicFile : public QIODevice
{
public:
    explicit AtomicFile(QString target);
    ~AtomicFile() override; // an uncommitted file is cancelled
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // WriteOnly only. False (errorString says why) when the temporary file cannot be made.
    bool open(OpenMode mode) override;
    // Makes the written bytes the target's content. False: the target is as it was, no
    // temporary file is left, and errorString says why.
    bool commit();
    // Drops what was written; the target stays as it was.
    void cancelWriting();
    bool isSequential() const override { return true; }

    // Copies source's bytes over target through an AtomicFile; false with `error` set.
    static bool Copy(const QString &source, const QString &target, QString *error);

    // Test seam: the next file fails at `step` with the system error `code` (for Size the
    // written file is cut short instead), as a full or failing disk would.
    enum class Step { None, Create, Write, Sync, Size, Close, Rename, FolderSync };
    static void FailNextForTesting(Step step, int code = 0);
    // Test seam: the steps the last commit took, in order (a missing sync cannot be seen
    // in the files it leaves).
    static QList<Step> LastStepsForTesting();
    static void ResetForTesting();

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    qint64 fail(int code); // a write failed: -1, and every later write fails too
    void removeTemporary();

    QString m_target;
    QByteArray m_temporary;
    int m_fd = -1;
    qint64 m_written = 0;
    bool m_failed = false;
};
