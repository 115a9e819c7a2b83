#pragma once

#include <QFile>
#include <QString>

#include <sys/mount.h>
#include <unistd.h>

// A folder nothing can be written into while this lives. Permissions do not stop root,
// so for root an empty read-only file system is laid over the folder instead.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(QFile::encodeName(path)) {}
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
        if (m_chmodded)
            QFile::setPermissions(QString::fromLocal8Bit(m_path), m_permissions);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool Lock()
    {
        if (::geteuid() == 0) {
            m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs",
                                MS_RDONLY | MS_NOSUID | MS_NODEV, "size=64k")
                        == 0;
            return m_mounted;
        }
        const QString path = QString::fromLocal8Bit(m_path);
        m_permissions = QFile::permissions(path);
        m_chmodded = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        return m_chmodded;
    }

private:
    QByteArray m_path;
    QFile::Permissions m_permissions;
    bool m_mounted = false;
    bool m_chmodded = false;
};
