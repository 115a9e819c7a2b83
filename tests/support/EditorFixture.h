#pragma once

#include "TestFolder.h"
#include "frmMain.h"

#include <QPair>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

using CastPairs = QVector<QPair<QVariant, QVariant>>; // actor, character

// An edit buffer filled as the title commands leave it for the editor's steps: an add of
// a new title or a modify of a stored one, over a loaded (and disabled) main window.
struct EditorFixture
{
    TestFolder folder;
    std::unique_ptr<Module1> shared = folder.MakeShared();
    frmMain main{*shared};

    // Mode "No" (add) or "Yes" (modify the title with ID modifiedId); the facts are plain
    // values the checks can recognise, the genres and cast as given.
    void Fill(const QString &mode, const QString &title, const QStringList &genres = {},
              const CastPairs &cast = {}, qint64 modifiedId = 0);
    // The cast list's actors, top to bottom.
    QStringList Actors() const;
};

// Fills any shared state's edit buffer the same way (for the child programs).
void FillEditBuffer(Module1 &shared, const QString &mode, const QString &title,
                    const QStringList &genres, const CastPairs &cast);
