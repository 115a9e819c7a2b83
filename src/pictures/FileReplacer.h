#pragma once

#include <QString>

// Replaces a file by a copy of another one, all or nothing: the copy is written to a new
// file beside the target, every write, the sync and the close are checked, its size is
// compared with the source's, and only then is it renamed over the target. A target that
// is a symbolic link is itself replaced; nothing is ever written through it.
class FileReplacer
{
public:
    // On failure the target is as it was, no temporary file is left, and `error` says why.
    static bool Replace(const QString &source, const QString &target, QString *error);

    // Test seam: the next Replace fails at `step` with the system error `code` (for Size,
    // the written copy is cut short instead), as a full or failing disk would.
    enum class Step { None, Create, Write, Sync, Size, Close, Rename };
    static void FailNextForTesting(Step step, int code = 0);
};
