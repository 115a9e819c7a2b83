#include "frmModify2.h"

#include "DrawnIcons.h"
#include "Letters.h"
#include "MessageBox.h"
#include "Statements.h"
#include "StorableText.h"
#include "WindowLook.h"
#include "frmGenre.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

frmModify2::frmModify2(Module1 &shared, QWidget *mainWindow, QWidget *parent)
    : QDialog(parent), m_shared(shared), m_mainWindow(mainWindow)
{
    setWindowTitle(QStringLiteral("2/3"));
    setFont(WindowLook::FormFont());
    createControls();
    createLayout();
    StorableText::Guard(this);
    WindowLook::FixDialog(this, 7635, 4920);
}

frmModify2::~frmModify2() = default;

void frmModify2::createControls()
{
    lblTitle = new QLabel(QStringLiteral("Title"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitleDisplay = new ElidedLabel(1, this);
    lblTitleDisplay->setObjectName(QStringLiteral("lblTitleDisplay"));
    lblTitleDisplay->setFont(WindowLook::Font(9.75, false));

    const QFont boxFont = WindowLook::Font(9, false);
    for (int index = 0; index < GenreBoxes::Count; ++index) {
        lblGenre[index] = new QLabel(QStringLiteral("Genre %1").arg(index + 1), this);
        lblGenre[index]->setObjectName(QStringLiteral("lblGenre%1").arg(index + 1));
        auto *box = new DropDownComboBox(this);
        box->setObjectName(QStringLiteral("cmbGenre%1").arg(index));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setFont(boxFont);
        box->setMinimumContentsLength(8);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setEnabled(index == 0);
        connect(box, &DropDownComboBox::DropDown, this,
                [this, index] { cmbGenre_DropDown(index); });
        cmbGenre[index] = box;
        lblGenre[index]->setBuddy(box);
    }
    lblAstric = new QLabel(QStringLiteral("*"), this);
    lblAstric->setObjectName(QStringLiteral("lblAstric"));
    lblAstric->setStyleSheet(QStringLiteral("color: #b83b3b"));
    lblBackspace = new QLabel(QStringLiteral("Note: Press Backspace to clear entry"), this);
    lblBackspace->setObjectName(QStringLiteral("lblBackspace"));
    lblBackspace->setFont(WindowLook::Font(8.25, false));

    cmdManageGenreTypes = new QToolButton(this);
    cmdManageGenreTypes->setObjectName(QStringLiteral("cmdManageGenreTypes"));
    cmdManageGenreTypes->setIcon(DrawnIcons::ManageGenres());
    cmdManageGenreTypes->setIconSize(QSize(26, 26));
    cmdManageGenreTypes->setAutoRaise(true);
    cmdManageGenreTypes->setToolTip(QStringLiteral("Manage Genre Types"));
    connect(cmdManageGenreTypes, &QToolButton::clicked, this,
            &frmModify2::cmdManageGenreTypes_Click);
    lblManageGenreTypes = new QLabel(QStringLiteral("Manage Genre Types"), this);
    lblManageGenreTypes->setObjectName(QStringLiteral("lblManageGenreTypes"));
    lblManageGenreTypes->setFont(WindowLook::Font(8.25, false));

    lblFeatures = new QLabel(QStringLiteral("Features:"), this);
    lblFeatures->setObjectName(QStringLiteral("lblFeatures"));
    txtFeatures = new QPlainTextEdit(this);
    txtFeatures->setObjectName(QStringLiteral("txtFeatures"));
    txtFeatures->setFont(boxFont);
    txtFeatures->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtFeatures->setTabChangesFocus(true);
    lblFeatures->setBuddy(txtFeatures);

    const auto button = [this](const QString &caption, const QString &name) {
        return WindowLook::Button(this, caption, name);
    };
    cmdCancel = button(QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    cmdBack = button(QStringLiteral("&Back"), QStringLiteral("cmdBack"));
    cmdNext = button(QStringLiteral("&Next"), QStringLiteral("cmdNext"));
    cmdNext->setDefault(true);
    connect(cmdCancel, &QPushButton::clicked, this, &frmModify2::reject);
    connect(cmdBack, &QPushButton::clicked, this, &frmModify2::cmdBack_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmModify2::cmdNext_Click);

    // Boxes in reading order, then the rest of the window.
    QWidget *order[] = {cmbGenre[0], cmbGenre[1], cmbGenre[2], cmbGenre[3], cmdManageGenreTypes,
                        txtFeatures, cmdCancel,   cmdBack,     cmdNext};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmModify2::createLayout()
{
    auto *title = new QHBoxLayout;
    title->addWidget(lblTitle);
    title->addSpacing(8);
    title->addWidget(lblTitleDisplay, 1);

    auto *genres = new QGridLayout;
    genres->setHorizontalSpacing(6);
    genres->setVerticalSpacing(2);
    genres->addWidget(lblAstric, 1, 0);
    for (int index = 0; index < GenreBoxes::Count; ++index) {
        genres->addWidget(lblGenre[index], 0, index + 1);
        genres->addWidget(cmbGenre[index], 1, index + 1);
        genres->setColumnStretch(index + 1, 1);
    }

    auto *manage = new QHBoxLayout;
    manage->addWidget(lblBackspace);
    manage->addStretch();
    manage->addWidget(cmdManageGenreTypes);
    manage->addWidget(lblManageGenreTypes);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    buttons->addWidget(cmdBack);
    buttons->addStretch();
    buttons->addWidget(cmdNext);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(6);
    layout->addLayout(title);
    layout->addSpacing(6);
    layout->addLayout(genres);
    layout->addLayout(manage);
    layout->addWidget(lblFeatures);
    layout->addWidget(txtFeatures, 1);
    layout->addSpacing(4);
    layout->addLayout(buttons);
}

int frmModify2::exec()
{
    if (!m_loaded)
        Form_Load();
    return QDialog::exec();
}

void frmModify2::Form_Load()
{
    m_loaded = false;
    lblTitleDisplay->SetFullText(m_shared.EditTitle);
    for (int index = 0; index < GenreBoxes::Count; ++index)
        cmbGenre[index]->setEditText(m_shared.GenrePicks[index]);
    QueryUnpickedGenres();
    txtFeatures->setPlainText(m_shared.EditFeatures);
    EnableGenreBoxes();
    cmbGenre[0]->setFocus();
    m_loaded = true;
}

QString frmModify2::GenreBoxText(int index) const
{
    return cmbGenre[index]->currentText();
}

void frmModify2::SetGenreBoxText(int index, const QString &text)
{
    cmbGenre[index]->setEditText(text);
}

void frmModify2::GenreManagerFinished()
{
    setVisible(true);
    setEnabled(true);
}

QStringList frmModify2::OfferedGenres() const
{
    QStringList genres;
    if (m_genreList)
        for (int row = 0; row < m_genreList->RecordCount(); ++row)
            genres << m_genreList->ValueAt(row, 0).toString();
    return genres;
}

void frmModify2::StoreStep2Fields()
{
    for (int index = 0; index < GenreBoxes::Count; ++index)
        m_shared.GenrePicks[index] = cmbGenre[index]->currentText();
    m_shared.EditFeatures = txtFeatures->toPlainText();
}

// A pick typed in another case ("épopée") names the stored genre ("Épopée"): the save
// looks genres up with the catalogue's =, which folds A to Z only.
void frmModify2::MatchStoredSpellings()
{
    if (!m_connection) {
        m_connection = std::make_unique<Connection>();
        m_connection->Open(m_shared.ConnectionString);
    }
    RecordList genres;
    genres.Open(Statements::GenreNames(), *m_connection);
    for (QString &pick : m_shared.GenrePicks) {
        if (pick.isEmpty())
            continue;
        QString stored;
        for (int row = 0; row < genres.RecordCount(); ++row) {
            const QStringView genre = genres.TextView(row, 0);
            if (Letters::NocaseEqual(genre, pick)) {
                stored.clear();
                break;
            }
            if (stored.isEmpty() && Letters::Equal(genre, pick))
                stored = genre.toString();
        }
        if (!stored.isEmpty())
            pick = stored;
    }
}

// Longer picks first, so the empty ones end up last; equal lengths keep their order.
void frmModify2::CompactGenrePicks()
{
    auto &picks = m_shared.GenrePicks;
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 4; ++j)
            if (picks[i].size() < picks[j].size())
                std::swap(picks[i], picks[j]);
}

void frmModify2::EnableGenreBoxes()
{
    const auto empty = [this](int index) { return cmbGenre[index]->currentText().isEmpty(); };
    if (empty(1) && empty(2))
        cmbGenre[2]->setEnabled(false);
    if (empty(2) && empty(3))
        cmbGenre[3]->setEnabled(false);
    if (!empty(0))
        cmbGenre[1]->setEnabled(true);
    if (!empty(1))
        cmbGenre[2]->setEnabled(true);
    if (!empty(2))
        cmbGenre[3]->setEnabled(true);
}

void frmModify2::QueryUnpickedGenres()
{
    if (!m_connection) {
        m_connection = std::make_unique<Connection>();
        m_connection->Open(m_shared.ConnectionString);
    }
    m_genreList = std::make_shared<RecordList>();
    for (int index = 0; index < GenreBoxes::Count; ++index)
        m_shared.GenrePicks[index] = cmbGenre[index]->currentText();
    m_genreList->Open(Statements::UnpickedGenres(m_shared.GenrePicks), *m_connection);
    // The catalogue's <> folds A to Z only: "Épopée" picked as "épopée" is not offered.
    QVector<RecordList::Row> offered;
    for (int row = 0; row < m_genreList->RecordCount(); ++row) {
        const QStringView genre = m_genreList->TextView(row, 0);
        if (std::none_of(m_shared.GenrePicks.cbegin(), m_shared.GenrePicks.cend(),
                         [&](const QString &pick) {
                             return !pick.isEmpty() && Letters::Equal(pick, genre);
                         }))
            offered << RecordList::Row{m_genreList->ValueAt(row, 0)};
    }
    if (offered.size() != m_genreList->RecordCount())
        m_genreList->SetRows(std::move(offered));
    Letters::Sort(*m_genreList, 0);
}

void frmModify2::cmbGenre_DropDown(int index)
{
    DropDownComboBox *box = cmbGenre[index];
    // The box's own pick is dropped when its list opens, so the list offers every genre
    // the other three boxes do not hold.
    QueryUnpickedGenres();
    box->clear();
    box->clearEditText();
    QueryUnpickedGenres();

    if (index == 0 && m_genreList->RecordCount() == 0) {
        const auto answer = MessageBox::Show(
            this, QStringLiteral("No Genres Currently Exist, You Must Select One To Proceed."),
            QStringLiteral("Enter Genre Type"), QMessageBox::Ok | QMessageBox::Cancel,
            QMessageBox::Information);
        if (answer == QMessageBox::Ok) {
            StoreStep2Fields();
            OpenGenreManager();
        }
    }

    box->addItems(OfferedGenres());
    box->setCurrentIndex(-1); // adding items must not pick the first one
    if (index < 3)
        cmbGenre[index + 1]->setEnabled(true);
}

void frmModify2::cmdManageGenreTypes_Click()
{
    StoreStep2Fields();
    OpenGenreManager();
}

void frmModify2::OpenGenreManager()
{
    // Disabled before the manager is made, so the manager itself starts enabled.
    setEnabled(false);
    frmGenre manager(m_shared, this, this);
    manager.exec();
}

void frmModify2::cmdNext_Click()
{
    StoreStep2Fields();
    const bool anyGenre = std::any_of(cmbGenre.begin(), cmbGenre.end(),
                                      [](QComboBox *box) { return !box->currentText().isEmpty(); });
    if (!anyGenre) {
        MessageBox::Critical(this, QStringLiteral("Please Complete All Required Fields"));
        return;
    }
    MatchStoredSpellings();
    Release();
    CompactGenrePicks();
    done(StepNext);
}

void frmModify2::cmdBack_Click()
{
    StoreStep2Fields();
    CompactGenrePicks();
    Release();
    done(StepBack);
}

void frmModify2::reject()
{
    Release();
    m_shared.ClearEditBuffer();
    done(StepCancelled);
    if (m_mainWindow) {
        m_mainWindow->setVisible(true);
        m_mainWindow->setEnabled(true);
    }
}

void frmModify2::Release()
{
    m_genreList.reset();
    m_connection.reset();
}
