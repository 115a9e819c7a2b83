#include "frmImportColumns.h"

#include "WindowLook.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const int kSampleRows = 8;
const char kSeparators[] = {',', ';', '\t'};

} // namespace

frmImportColumns::frmImportColumns(const QByteArray &bytes, const QString &fileName,
                                   QWidget *parent)
    : QDialog(parent), m_bytes(bytes)
{
    setWindowTitle(QStringLiteral("Import Titles: Match Columns"));
    setFont(WindowLook::Font(9));
    auto *layout = new QVBoxLayout(this);

    lblFile = new QLabel(this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setWordWrap(true);
    lblFile->setTextFormat(Qt::PlainText);
    lblFile->setText(QStringLiteral("%1 is not a Reelvane titles file. Choose for each of its "
                                    "columns the field it holds, or \"Do not import\". At least "
                                    "Title must be matched.")
                         .arg(QFileInfo(fileName).fileName()));
    layout->addWidget(lblFile);

    const ForeignCsv::Dialect found = ForeignCsv::Detect(bytes);
    auto *options = new QHBoxLayout;
    cmbSeparator = new QComboBox(this);
    cmbSeparator->setObjectName(QStringLiteral("cmbSeparator"));
    cmbSeparator->addItems(
        {QStringLiteral("Comma"), QStringLiteral("Semicolon"), QStringLiteral("Tab")});
    cmbSeparator->setCurrentIndex(found.separator == ';' ? 1 : found.separator == '\t' ? 2 : 0);
    cmbEncoding = new QComboBox(this);
    cmbEncoding->setObjectName(QStringLiteral("cmbEncoding"));
    cmbEncoding->addItems({QStringLiteral("UTF-8"), QStringLiteral("Windows-1252 (Western)")});
    cmbEncoding->setCurrentIndex(found.encoding == ForeignCsv::Encoding::Utf8 ? 0 : 1);
    auto *separatorLabel = new QLabel(QStringLiteral("&Separator:"), this);
    separatorLabel->setBuddy(cmbSeparator);
    auto *encodingLabel = new QLabel(QStringLiteral("&Encoding:"), this);
    encodingLabel->setBuddy(cmbEncoding);
    options->addWidget(separatorLabel);
    options->addWidget(cmbSeparator);
    options->addSpacing(20);
    options->addWidget(encodingLabel);
    options->addWidget(cmbEncoding);
    options->addStretch();
    layout->addLayout(options);

    ColumnsGrid = new QTableWidget(this);
    ColumnsGrid->setObjectName(QStringLiteral("ColumnsGrid"));
    ColumnsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ColumnsGrid->setWordWrap(false);
    ColumnsGrid->verticalHeader()->hide();
    ColumnsGrid->verticalHeader()->setDefaultSectionSize(ColumnsGrid->fontMetrics().height() + 10);
    layout->addWidget(ColumnsGrid, 1);

    lblCheck = new QLabel(this);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setTextFormat(Qt::PlainText);
    lblCheck->setWordWrap(true);
    layout->addWidget(lblCheck);

    auto *buttons = new QHBoxLayout;
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdNext = new QPushButton(QStringLiteral("&Next >"), this);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdNext->setDefault(true);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    buttons->addWidget(cmdNext);
    layout->addLayout(buttons);

    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdNext, &QPushButton::clicked, this, [this] {
        ForeignCsv::Remember(m_header, Matching());
        accept();
    });
    connect(cmbSeparator, &QComboBox::currentIndexChanged, this, [this] { readSample(); });
    connect(cmbEncoding, &QComboBox::currentIndexChanged, this, [this] { readSample(); });
    readSample();
    WindowLook::SizableDialog(this, QSize(1000, 480));
}

char frmImportColumns::Separator() const
{
    return kSeparators[qBound(0, cmbSeparator->currentIndex(), 2)];
}

ForeignCsv::Encoding frmImportColumns::Encoding() const
{
    return cmbEncoding->currentIndex() == 1 ? ForeignCsv::Encoding::Windows1252
                                            : ForeignCsv::Encoding::Utf8;
}

QComboBox *frmImportColumns::FieldBox(int column) const
{
    return qobject_cast<QComboBox *>(ColumnsGrid->cellWidget(0, column));
}

QVector<ForeignCsv::Field> frmImportColumns::Matching() const
{
    QVector<ForeignCsv::Field> matching;
    for (int i = 0; i < ColumnsGrid->columnCount(); ++i)
        matching << ForeignCsv::Fields().value(FieldBox(i) ? FieldBox(i)->currentIndex() : 0);
    return matching;
}

void frmImportColumns::readSample()
{
    m_utf8 = ForeignCsv::ToUtf8(m_bytes, Encoding());
    const ForeignCsv::Sample sample = ForeignCsv::SampleOf(m_utf8, Separator(), kSampleRows);
    m_header = sample.header;
    ColumnsGrid->clear();
    ColumnsGrid->setColumnCount(int(m_header.size()));
    ColumnsGrid->setRowCount(int(sample.rows.size()) + 1);
    ColumnsGrid->setHorizontalHeaderLabels(m_header);
    const QVector<ForeignCsv::Field> initial = ForeignCsv::Initial(m_header);
    for (int c = 0; c < m_header.size(); ++c) {
        auto *box = new QComboBox(ColumnsGrid);
        for (const ForeignCsv::Field field : ForeignCsv::Fields())
            box->addItem(ForeignCsv::FieldName(field));
        box->setCurrentIndex(int(ForeignCsv::Fields().indexOf(initial[c])));
        connect(box, &QComboBox::currentIndexChanged, this, [this] { check(); });
        ColumnsGrid->setCellWidget(0, c, box);
        for (int r = 0; r < sample.rows.size(); ++r) {
            // A cell shows one line of its text, as it will be stored.
            QString text = sample.rows[r].value(c).left(200);
            text.replace(QLatin1Char('\n'), QStringLiteral(" | ")).remove(QLatin1Char('\r'));
            ColumnsGrid->setItem(r + 1, c, new QTableWidgetItem(text));
        }
    }
    ColumnsGrid->resizeColumnsToContents();
    for (int c = 0; c < ColumnsGrid->columnCount(); ++c)
        ColumnsGrid->setColumnWidth(c, qBound(150, ColumnsGrid->columnWidth(c), 280));
    check();
    if (!sample.fault.isEmpty()) {
        lblCheck->setText(sample.fault);
        cmdNext->setEnabled(false);
    }
}

void frmImportColumns::check()
{
    const QVector<ForeignCsv::Field> matching = Matching();
    QString problem;
    for (const ForeignCsv::Field field : ForeignCsv::Fields()) {
        if (field == ForeignCsv::Field::None)
            continue;
        QStringList columns;
        for (int i = 0; i < matching.size(); ++i)
            if (matching[i] == field)
                columns << QLatin1Char('"') + m_header[i] + QLatin1Char('"');
        if (columns.size() > 1 && problem.isEmpty())
            problem = QStringLiteral("%1 is matched to more than one column (%2); choose one.")
                          .arg(ForeignCsv::FieldName(field), columns.join(QStringLiteral(", ")));
    }
    if (!matching.contains(ForeignCsv::Field::Title))
        problem = QStringLiteral("No column is matched to Title yet; choose the column that "
                                 "holds the titles.");
    lblCheck->setText(problem.isEmpty() ? QStringLiteral("Next shows what the import would do "
                                                         "before anything is written.")
                                        : problem);
    cmdNext->setEnabled(problem.isEmpty());
}
