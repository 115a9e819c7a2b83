#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

AtomicFile::Step g_failStep = AtomicFile::Step::None;
int g_failCode = 0;
QList<AtomicFile::Step> g_steps;

// The seam: true (with errno set) when this step is to fail. Records that the step ran.
bool injected(AtomicFile::Step step)
{
    if (g_steps.isEmpty() || g_steps.last() != step)
        g_steps << step;
    if (g_failStep != step)
        return false;
    g_failStep = AtomicFile::Step::None;
    errno = g_failCode;
    return true;
}

// One step's system call, or -1 (errno set) where the seam makes it fail.
template<typename Call>
auto run(AtomicFile::Step step, Call call) -> decltype(call())
{
    return injected(step) ? -1 : call();
}

QString systemError(int code)
{
    return qt_error_string(code) + QLatin1Char('.');
}

} // namespace

void AtomicFile::FailNextForTesting(Step step, int code)
{
    g_failStep = step;
    g_failCode = code;
}

QList<AtomicFile::Step> AtomicFile::LastStepsForTesting()
{
    return g_steps;
}

void AtomicFile::ResetForTesting()
{
    g_failStep = Step::None;
    g_steps.clear();
}

AtomicFile::AtomicFile(QString target) : m_target(std::move(target)) {}

AtomicFile::~AtomicFile()
{
    cancelWriting();
}

bool AtomicFile::open(OpenMode mode)
{
    if (isOpen() || (mode & ReadOnly) || !(mode & WriteOnly)) {
        setErrorString(QStringLiteral("Only a new file can be written."));
        return false;
    }
    g_steps.clear();
    const QByteArray target = QFile::encodeName(m_target);
    for (int tries = 0; tries < 100 && m_fd < 0; ++tries) {
        m_temporary =
            target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        m_fd = run(Step::Create, [this] {
            return ::open(m_temporary.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        });
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        setErrorString(systemError(errno));
        m_temporary.clear();
        return false;
    }
    m_written = 0;
    m_failed = false;
    return QIODevice::open(mode | Unbuffered);
}

qint64 AtomicFile::writeData(const char *data, qint64 size)
{
    if (m_fd < 0 || m_failed)
        return -1;
    qint64 left = size;
    while (left > 0) {
        const ssize_t written = run(Step::Write, [&] { return ::write(m_fd, data, size_t(left)); });
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(written == 0 ? ENOSPC : errno);
        data += written;
        left -= written;
        m_written += written;
    }
    return size;
}

qint64 AtomicFile::fail(int code)
{
    m_failed = true;
    setErrorString(systemError(code));
    return -1;
}

void AtomicFile::removeTemporary()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
}

void AtomicFile::cancelWriting()
{
    removeTemporary();
    if (isOpen())
        QIODevice::close();
}

bool AtomicFile::commit()
{
    const auto failed = [this](int code, const QString &reason = {}) {
        const QString kept = errorString();
        cancelWriting();
        setErrorString(m_failed ? kept : (reason.isEmpty() ? systemError(code) : reason));
        return false;
    };
    if (m_fd < 0 || m_failed)
        return failed(EBADF);
    // A full disk may refuse the last bytes only here; the old file must not be lost to it.
    if (run(Step::Sync, [this] { return ::fsync(m_fd); }) != 0)
        return failed(errno);
    if (injected(Step::Size) && ::ftruncate(m_fd, m_written / 2) != 0)
        return failed(errno);
    struct stat written = {};
    if (::fstat(m_fd, &written) != 0)
        return failed(errno);
    if (written.st_size != m_written)
        return failed(0, QStringLiteral("Only %1 of the %2 bytes could be written.")
                             .arg(qint64(written.st_size))
                             .arg(m_written));
    const int closing = m_fd;
    m_fd = -1;
    if (injected(Step::Close)) {
        const int code = errno;
        ::close(closing);
        return failed(code);
    }
    if (::close(closing) != 0)
        return failed(errno);
    // rename() replaces a symbolic link itself, never the file it points to.
    const QByteArray target = QFile::encodeName(m_target);
    if (run(Step::Rename, [&] { return ::rename(m_temporary.constData(), target.constData()); })
        != 0)
        return failed(errno);
    m_temporary.clear();
    QIODevice::close();

    // The new name is on disk too, so a power cut cannot bring the old file back.
    const int folder = ::open(QFile::encodeName(QFileInfo(m_target).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        run(Step::FolderSync, [folder] { return ::fsync(folder); });
        ::close(folder);
    }
    return true;
}

bool AtomicFile::Copy(const QString &source, const QString &target, QString *error)
{
    const auto readFailure = [&](const QString &reason) {
        *error = QStringLiteral("Reading \"") + QDir::toNativeSeparators(source)
                 + QStringLiteral("\": ") + reason;
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return readFailure(in.errorString() + QLatin1Char('.'));
    const qint64 size = in.size();
    AtomicFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 got = in.read(chunk.data(), chunk.size());
        if (got < 0)
            return readFailure(in.errorString() + QLatin1Char('.'));
        if (got == 0)
            break;
        if (out.write(chunk.constData(), got) != got) {
            *error = out.errorString();
            return false;
        }
        copied += got;
    }
    if (copied != size) {
        *error =
            QStringLiteral("Only %1 of the file's %2 bytes could be read.").arg(copied).arg(size);
        return false;
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}
