#pragma once

#include <QString>

// Keeps a second copy of the program off the same catalogue: an advisory lock on a file
// beside it, held for as long as the process lives. The kernel drops the lock with the
// process, so a copy that was killed leaves nothing a later start must wait for.
class CopyLock
{
public:
    enum Outcome {
        Taken,         // this copy holds the lock
        HeldElsewhere, // another running copy holds it
        Unavailable,   // no lock can be made here (a read-only folder): go on without
    };

    // Takes the lock for the catalogue file for the rest of the process; its file is
    // removed when the process ends normally (exit() included).
    static Outcome Take(const QString &catalogue);
    static QString LockFileName(const QString &catalogue);

    // Gives the lock up and removes its file (tests; also run at exit).
    static void Release();
};
