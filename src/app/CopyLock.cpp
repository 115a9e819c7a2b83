#include "CopyLock.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int g_fd = -1;
QByteArray g_path;
bool g_atExit = false;

bool sameFile(int fd, const QByteArray &path)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0
           && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

QString CopyLock::LockFileName(const QString &catalogue)
{
    return catalogue + QStringLiteral(".lock");
}

CopyLock::Outcome CopyLock::Take(const QString &catalogue)
{
    Release();
    const QByteArray path = QFile::encodeName(LockFileName(catalogue));
    for (int tries = 0; tries < 20; ++tries) {
        bool writable = true;
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            // A read-only folder: a lock file left there still works read-only.
            writable = false;
            fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        }
        if (fd < 0)
            return Unavailable;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? HeldElsewhere : Unavailable;
        }
        // The copy that held it may have removed the file between our open and flock.
        if (!sameFile(fd, path)) {
            ::close(fd);
            continue;
        }
        if (writable && ::ftruncate(fd, 0) == 0) {
            // The process number is only for people looking at the file.
            const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
            const ssize_t written = ::write(fd, pid.constData(), size_t(pid.size()));
            Q_UNUSED(written)
        }
        g_fd = fd;
        g_path = writable ? path : QByteArray();
        if (!g_atExit) {
            g_atExit = true;
            std::atexit(&CopyLock::Release);
        }
        return Taken;
    }
    return Unavailable;
}

void CopyLock::Release()
{
    if (g_fd < 0)
        return;
    // Removed while still locked, so a copy starting now cannot lock the old file.
    if (!g_path.isEmpty())
        ::unlink(g_path.constData());
    ::close(g_fd);
    g_fd = -1;
    g_path.clear();
}
