#pragma once

#include "DataGrid.h"
#include "ElidedLabel.h"
#include "Module1.h"
#include "RecordList.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>

class Connection;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabBar;

// The main window's detail panel: the facts, genres, cast and cover of the title whose
// ID is Module1::SelectedTitleId on the list Module1::WishListFilter. Each of its reads
// runs on a freshly reopened main-window connection, which the window hands over.
class TitleDetailPanel : public QWidget
{
    Q_OBJECT

public:
    TitleDetailPanel(Module1 &shared, std::function<Connection &()> reopenConnection,
                     QWidget *parent = nullptr);
    ~TitleDetailPanel() override;

    // Whether the list shows any title. Without one (an empty list, or a find that matches
    // nothing) the panel shows no title, whatever SelectedTitleId holds, and its own picture.
    void ShowListState(bool hasTitles);
    void ShowFirstTab();

    // Always called all four in this order; a failed read throws DbError.
    void InitializeFields();
    void GenreDisplay();
    void CastDisplay();
    void DisplayCoverImage();

    // Kept texts of the active title; the modify and delete commands use the title.
    const QString &KeptTitle() const { return m_keptTitle; }
    // What the cover area shows: the file loaded, and whether it could not be shown.
    const QString &CoverFile() const { return m_coverFile; }
    bool CoverIsPlaceholder() const { return m_coverPlaceholder; }

    // A picture file decoded straight at the cover area's size (never at its own size);
    // a null image when it cannot be read.
    static QImage ReadCover(const QString &file);
    // Shows a picture already read from `file` (a null one: the "cannot be shown" card).
    void ShowCoverPicture(const QString &file, const QImage &picture);

    ElidedLabel *lblTitle = nullptr;
    QLabel *lblDate = nullptr;
    // The active title's open loan, hidden while it is at home.
    QLabel *lblLoan = nullptr;
    QLabel *lblDirectedByTitle = nullptr;
    QLineEdit *txtDirector = nullptr;
    QLabel *lblGenreTitle = nullptr;
    QLineEdit *txtGenreDisplay = nullptr;
    QLabel *lblFeatures = nullptr;
    QPlainTextEdit *txtFeatures = nullptr;
    QTabBar *MultiTabStrip = nullptr;
    QPlainTextEdit *txtMulti = nullptr;
    QLabel *lblCastTitle = nullptr;
    DataGrid *CastUltraGRid = nullptr;
    QLabel *ImgCover = nullptr;
    QLabel *lblClickToEditPhoto = nullptr;

    // The cover area, in pixels.
    static constexpr int CoverWidth = 200;
    static constexpr int CoverHeight = 282;

Q_SIGNALS:
    void ImgCoverClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createLayout();
    // Opens DetailRecords on QueryText through a freshly opened connection.
    Connection &OpenDetailQuery();
    void showLoan(Connection &connection);
    void MultiTabStripClicked(int index);
    void FitCastColumns();
    void ShowCover(const QString &file);
    // The title shown: none (no title has ID 0) while the list shows no title.
    qint64 shownTitleId() const { return m_hasTitles ? m_shared.SelectedTitleId : 0; }

    Module1 &m_shared;
    std::function<Connection &()> m_reopenConnection;
    QString QueryText;
    std::shared_ptr<RecordList> DetailRecords;
    bool m_hasTitles = false;
    int m_currentTab = 1;

    QString m_keptTitle;
    QString m_keptDate;
    QString m_keptDirector;
    QString m_keptSummary;
    QString m_keptFeatures;
    QString m_keptEggs;
    QString m_genreLine;
    QString m_coverFile;
    bool m_coverPlaceholder = false;
    QString m_fixedCoverKey; // file, size and time of the fixed picture in m_fixedCover
    QPixmap m_fixedCover;
};
