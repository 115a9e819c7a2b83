#pragma once

#include <QString>
#include <memory>

class DbError;
class Module1;
class QDialog;
class frmMain;
class frmModify2;

// The main window's three commands on titles. Add and Modify fill the edit buffer and
// run the editor's steps from one loop, each step saying by its exec() result whether
// the user went on, back, cancelled or finished; Delete removes the active title.
class TitleCommands
{
public:
    TitleCommands(Module1 &shared, frmMain &main);
    ~TitleCommands();

    // Asks for the name, warns about titles of that name, then runs the editor.
    void AddTitle();
    // Loads the active title, its genres and its cast into the edit buffer, then runs
    // the editor.
    void ModifyTitle();
    // Asks (naming the borrower of a title on loan), then deletes the active title with its
    // links, cast and loans in one transaction and its cover file after that; reloads the
    // list. A failure changes nothing.
    void DeleteTitle();

private:
    void RunEditor();
    // Shows one step; returns the step to show next, 0 when the editor has ended.
    int RunStep(int step);
    // Loads step 2 while `current` stays up; false when its read failed and the user
    // chose to stay in `current`.
    bool PrepareStep2(QDialog &current);
    static QString StepReadFailure(const DbError &error);
    void LoadEditBuffer();
    void AbandonCommand(const QString &message);

    Module1 &m_shared;
    frmMain &m_main;
    std::unique_ptr<frmModify2> m_step2; // loaded, shown next
};
