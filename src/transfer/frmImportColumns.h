#pragma once

#include "ForeignCsv.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// The step before the import preview for a CSV file that is not Reelvane's own: the
// file's columns (header and first rows), each with the field it goes to, the separator
// and the encoding, all as found and changeable. Next needs Title matched and no field
// matched twice; the matching is remembered for the headers.
class frmImportColumns : public QDialog
{
    Q_OBJECT

public:
    frmImportColumns(const QByteArray &bytes, const QString &fileName, QWidget *parent = nullptr);

    // What the user chose (valid once accepted).
    char Separator() const;
    ForeignCsv::Encoding Encoding() const;
    QByteArray Utf8() const { return m_utf8; }
    QStringList Header() const { return m_header; }
    QVector<ForeignCsv::Field> Matching() const;

    QLabel *lblFile = nullptr;
    QComboBox *cmbSeparator = nullptr;
    QComboBox *cmbEncoding = nullptr;
    QTableWidget *ColumnsGrid = nullptr;
    QLabel *lblCheck = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCancel = nullptr;

    // The drop-down of column i (row 0 of the grid).
    QComboBox *FieldBox(int column) const;

private:
    void readSample();
    void check();

    QByteArray m_bytes;
    QByteArray m_utf8;
    QStringList m_header;
};
