#pragma once

#include <csignal>
#include <sys/resource.h>

// A full disk, as far as the process can tell: while it lives, no file this process
// writes grows beyond the given size (the write fails, as it would with no space left).
// It binds root too, unlike file permissions.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool IsSet() const { return m_set; }

private:
    rlimit m_old{};
    bool m_set = false;
};
