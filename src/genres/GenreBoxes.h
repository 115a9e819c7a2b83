#pragma once

#include <QString>

// The genre boxes of an open editor, as the genre manager sees them: it rewrites or
// clears the boxes that carry a genre it renames or removes, and on Finish gives the
// editor back to the user. The editor hands itself to the manager it opens.
class GenreBoxes
{
public:
    virtual ~GenreBoxes() = default;

    static constexpr int Count = 4;

    virtual QString GenreBoxText(int index) const = 0;
    virtual void SetGenreBoxText(int index, const QString &text) = 0;
    // The manager has finished: the editor is visible and enabled again.
    virtual void GenreManagerFinished() = 0;
};
