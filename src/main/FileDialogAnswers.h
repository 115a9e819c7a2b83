#pragma once

#include <QString>
#include <optional>

// The test seam of every file and folder dialog of the program: a test queues the answer
// of the next dialog instead of clicking through it.
class FileDialogAnswers
{
public:
    // The next dialog returns this path ("" = the user cancelled) unshown.
    static void SetNext(const QString &path);
    // Called by each dialog before it is shown: the queued answer, if a test queued one.
    static std::optional<QString> TakeNext();
    // How many dialogs were asked for (shown or answered) since Reset.
    static int Requests();
    static void Reset();
};
