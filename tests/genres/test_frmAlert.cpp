#include "MessageBox.h"
#include "TestFolder.h"
#include "Twips.h"
#include "frmAlert.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
const QString kQuery = QStringLiteral(
    "SELECT Title, Sub_Title, Date, Director FROM DVD_Title ORDER BY Title");

int pixelsOf(int twips)
{
    return Twips::FromPixels(Twips::ToPixels(twips));
}
} // namespace

class TestFrmAlert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { MessageBox::Reset(); }

    void listsRowsUnderQuestion();
    void answer_data();
    void answer();
    void columnsFitHeadingsAndValues();
    void cancelReleasesCastListOnlyForAddTitle_data();
    void cancelReleasesCastListOnlyForAddTitle();
};

void TestFrmAlert::listsRowsUnderQuestion()
{
    TestFolder folder;
    folder.AddTitle({.title = QStringLiteral("Alien"), .subTitle = QStringLiteral("Director's Cut"),
                     .date = QStringLiteral("1979"), .director = QStringLiteral("Ridley Scott")});
    auto shared = folder.MakeShared();
    shared->AlertMessage = QStringLiteral("A title named \"Alien\" exists.  Go on?");
    shared->AlertQuery = kQuery;
    frmAlert alert(*shared, PromptOpener::AddTitle, nullptr);

    alert.Form_Load();

    QCOMPARE(alert.windowTitle(), QStringLiteral("Warning"));
    QCOMPARE(alert.lblInfo->text(), shared->AlertMessage);
    QCOMPARE(alert.UltraGrid->model()->rowCount(), 1);
    const QStringList headings{QStringLiteral("Title"), QStringLiteral("Edition"),
                               QStringLiteral("Date"), QStringLiteral("Director(s)")};
    for (int column = 0; column < 4; ++column)
        QCOMPARE(alert.UltraGrid->HeaderCaption(column), headings[column]);
    QCOMPARE(alert.UltraGrid->CellValue(0, 1).toString(), QStringLiteral("Director's Cut"));
    QCOMPARE(alert.UltraGrid->CellValue(0, 3).toString(), QStringLiteral("Ridley Scott"));
}

void TestFrmAlert::answer_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("accepted");
    QTest::newRow("OK") << "ok" << 1;
    QTest::newRow("Cancel") << "cancel" << 0;
    QTest::newRow("Escape on the grid") << "escape" << 0;
}

void TestFrmAlert::answer()
{
    QFETCH(QString, way);
    QFETCH(int, accepted);
    TestFolder folder;
    folder.AddTitle({.title = QStringLiteral("Alien")});
    folder.AddTitle({.title = QStringLiteral("Aliens")});
    auto shared = folder.MakeShared();
    shared->AlertQuery = kQuery;
    shared->PromptAccepted = accepted ? 0 : 1;
    const QByteArray before = folder.CatalogueBytes();
    frmAlert alert(*shared, PromptOpener::GenreManager, nullptr);
    alert.Form_Load();
    alert.show();
    QVERIFY(QTest::qWaitForWindowExposed(&alert));

    if (way == QLatin1String("ok"))
        alert.cmdOk->click();
    else if (way == QLatin1String("cancel"))
        alert.cmdCancel->click();
    else
        QTest::keyClick(alert.UltraGrid, Qt::Key_Escape);

    QVERIFY(!alert.isVisible());
    QCOMPARE(shared->PromptAccepted, accepted);
    // Closing lets go of the list, and nothing reached the catalogue.
    QVERIFY(!alert.UltraGrid->DataSource());
    QCOMPARE(folder.CatalogueBytes(), before);
}

void TestFrmAlert::columnsFitHeadingsAndValues()
{
    TestFolder folder;
    const QString longTitle = QStringLiteral("Dr. Strangelove or: How I Learned to Stop Worrying");
    folder.AddTitle({.title = longTitle, .subTitle = QVariant(), .date = QString(),
                     .director = QStringLiteral("K")});
    folder.AddTitle({.title = QStringLiteral("M"), .subTitle = QString(), .date = QVariant(),
                     .director = QStringLiteral("Fritz Lang")});
    auto shared = folder.MakeShared();
    shared->AlertQuery = kQuery;
    frmAlert alert(*shared, PromptOpener::AddTitle, nullptr);

    alert.Form_Load();

    const QFontMetrics metrics(alert.font());
    const auto width = [&](const QString &text) { return Twips::TextWidth(metrics, text); };
    const QVector<int> expected{width(longTitle) + 200, width(QStringLiteral("Edition")),
                                width(QStringLiteral("Date")),
                                std::max(width(QStringLiteral("Director(s)")),
                                         width(QStringLiteral("Fritz Lang")) + 200)};
    QCOMPARE(alert.ColumnWidths(), expected);
    for (int column = 0; column < 4; ++column)
        QCOMPARE(alert.UltraGrid->ColumnWidthTwips(column), pixelsOf(expected[column]));
}

void TestFrmAlert::cancelReleasesCastListOnlyForAddTitle_data()
{
    QTest::addColumn<bool>("addTitle");
    QTest::newRow("add title") << true;
    QTest::newRow("genre manager") << false;
}

void TestFrmAlert::cancelReleasesCastListOnlyForAddTitle()
{
    QFETCH(bool, addTitle);
    TestFolder folder;
    folder.AddTitle({.title = QStringLiteral("Alien")});
    auto shared = folder.MakeShared();
    shared->AlertQuery = kQuery;
    shared->CreateCastRecords();
    const auto cast = shared->CastRecords;
    QWidget mainWindow;
    mainWindow.setEnabled(false);
    frmAlert alert(*shared, addTitle ? PromptOpener::AddTitle : PromptOpener::GenreManager,
                   &mainWindow);
    alert.Form_Load();

    alert.cmdCancel->click();

    QCOMPARE(shared->CastRecords == nullptr, addTitle);
    if (!addTitle)
        QCOMPARE(shared->CastRecords, cast);
    QCOMPARE(mainWindow.isEnabled(), addTitle);
}

QTEST_MAIN(TestFrmAlert)
#include "test_frmAlert.moc"
