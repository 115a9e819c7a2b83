#include "FileReplacer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileReplacer::Step g_failStep = FileReplacer::Step::None;
int g_failCode = 0;

// The seam: true (with errno set) when this step is to fail.
bool injected(FileReplacer::Step step)
{
    if (g_failStep != step)
        return false;
    g_failStep = FileReplacer::Step::None;
    errno = g_failCode;
    return true;
}

QString systemError(int code)
{
    return qt_error_string(code) + QLatin1Char('.');
}

// A file descriptor closed on every way out unless released.
struct Fd
{
    int fd = -1;
    Fd() = default;
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd() { reset(); }
    void reset()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    int release()
    {
        const int result = fd;
        fd = -1;
        return result;
    }
};

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        if (injected(FileReplacer::Step::Write))
            return false;
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

void FileReplacer::FailNextForTesting(Step step, int code)
{
    g_failStep = step;
    g_failCode = code;
}

bool FileReplacer::Replace(const QString &source, const QString &target, QString *error)
{
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray targetPath = QFile::encodeName(target);
    const auto readFailure = [&](int code) {
        *error = QStringLiteral("Reading \"") + QDir::toNativeSeparators(source)
                 + QStringLiteral("\": ") + systemError(code);
        return false;
    };

    Fd in;
    in.fd = ::open(sourcePath.constData(), O_RDONLY | O_CLOEXEC);
    struct stat sourceInfo = {};
    if (in.fd < 0 || ::fstat(in.fd, &sourceInfo) != 0)
        return readFailure(errno);

    // A new name beside the target: O_EXCL and O_NOFOLLOW never open something planted.
    Fd out;
    QByteArray temporary;
    for (int tries = 0; tries < 100 && out.fd < 0; ++tries) {
        temporary =
            targetPath + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        if (injected(Step::Create))
            break;
        out.fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                        0666);
        if (out.fd < 0 && errno != EEXIST)
            break;
    }
    if (out.fd < 0) {
        *error = systemError(errno);
        return false;
    }
    const auto writeFailure = [&](const QString &reason) {
        out.reset();
        ::unlink(temporary.constData());
        *error = reason;
        return false;
    };

    qint64 copied = 0;
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(in.fd, chunk.data(), size_t(chunk.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int code = errno;
            writeFailure(QString());
            return readFailure(code);
        }
        if (got == 0)
            break;
        if (!writeAll(out.fd, chunk.constData(), got))
            return writeFailure(systemError(errno));
        copied += got;
    }
    // A full disk may refuse the last bytes only here; the old cover must not be lost to it.
    if (injected(Step::Sync) || ::fsync(out.fd) != 0)
        return writeFailure(systemError(errno));
    if (g_failStep == Step::Size) {
        g_failStep = Step::None;
        if (::ftruncate(out.fd, copied / 2) != 0)
            return writeFailure(systemError(errno));
    }
    struct stat written = {};
    if (::fstat(out.fd, &written) != 0)
        return writeFailure(systemError(errno));
    if (written.st_size != copied || copied != sourceInfo.st_size)
        return writeFailure(QStringLiteral("Only %1 of the picture's %2 bytes could be written.")
                                .arg(qint64(written.st_size))
                                .arg(qint64(sourceInfo.st_size)));
    const int closing = out.release();
    if (injected(Step::Close)) {
        ::close(closing);
        return writeFailure(systemError(errno));
    }
    if (::close(closing) != 0)
        return writeFailure(systemError(errno));
    // rename() replaces a symbolic link itself, never the file it points to.
    if (injected(Step::Rename) || ::rename(temporary.constData(), targetPath.constData()) != 0)
        return writeFailure(systemError(errno));

    // The new name is on disk too, so a power cut cannot bring the old cover back.
    Fd folder;
    folder.fd = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder.fd >= 0)
        ::fsync(folder.fd);
    return true;
}
