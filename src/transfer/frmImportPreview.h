#pragma once

#include "ImportPlan.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

// What an import would do, shown before anything is written: the counts, the genres to
// be created, the ignored columns, and every record that is added, looks like a title
// already there, or is refused (line, column, reason). The user adds all, skips the
// similar ones, or cancels.
class frmImportPreview : public QDialog
{
    Q_OBJECT

public:
    enum Choice { Cancelled = 0, AddAll, SkipSimilar };

    frmImportPreview(const ImportPlan &plan, const QString &fileName, QWidget *parent = nullptr);

    QLabel *lblSummary = nullptr;
    QLabel *lblGenres = nullptr;
    QTableView *RowsView = nullptr;
    QPushButton *cmdAddAll = nullptr;
    QPushButton *cmdSkipSimilar = nullptr;
    QPushButton *cmdCancel = nullptr;
};
