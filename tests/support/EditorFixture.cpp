#include "EditorFixture.h"

#include "RecordList.h"

void FillEditBuffer(Module1 &shared, const QString &mode, const QString &title,
                    const QStringList &genres, const CastPairs &cast)
{
    shared.EditMode = mode;
    shared.SetEditFacts({title, "Director's Cut", "2001", "Ann O'Director", "A summary.",
                         "Commentary", "Hidden menu", 0});
    for (int i = 0; i < 4; ++i)
        shared.GenrePicks[i] = genres.value(i);
    shared.CreateCastRecords();
    for (const auto &[actor, character] : cast) {
        shared.CastRecords->AddNew();
        shared.CastRecords->SetValue(0, actor);
        shared.CastRecords->SetValue(1, character);
        shared.CastRecords->Update();
    }
}

void EditorFixture::Fill(const QString &mode, const QString &title, const QStringList &genres,
                         const CastPairs &cast, qint64 modifiedId)
{
    main.Form_Load();
    main.setEnabled(false);
    FillEditBuffer(*shared, mode, title, genres, cast);
    if (modifiedId != 0)
        shared->SelectedTitleId = modifiedId;
}

QStringList EditorFixture::Actors() const
{
    QStringList names;
    for (const RecordList::Row &row : shared->CastRecords->Rows())
        names << row.value(0).toString();
    return names;
}
