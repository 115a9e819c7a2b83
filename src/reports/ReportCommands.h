#pragma once

#include "ListReport.h"
#include "ReportScope.h"

#include <QString>

class Module1;
class frmMain;

// View > Statistics, File > Print List and File > Export List as PDF, over the list the
// main window shows (filtered and ordered as on the screen).
class ReportCommands
{
public:
    ReportCommands(Module1 &shared, frmMain &main);

    void ShowStatistics();
    void PrintList();
    void ExportListAsPdf();

    // The PDF of the list shown, written to `file` (Cancel or a failure leaves no file and
    // an older file as it was); false when nothing was written.
    bool ExportPdfTo(const QString &file, bool covers, const ListReport::Progress &progress);

    // The list shown, as a report's scope.
    ReportScope ShownScope() const;

private:
    // With covers, without, or cancelled (the question's answer).
    int askCovers(const QString &command);
    ListReport report(bool covers);

    Module1 &m_shared;
    frmMain &m_main;
};
