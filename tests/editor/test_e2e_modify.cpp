// Modifying a title from the main window, as a user does it: the active title comes up
// in the three steps, and Finish saves it over the same ID with its links replaced.
#include "EditorStory.h"
#include "RecordList.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QStringList genresOf(TestFolder &folder, qint64 id)
{
    QStringList names;
    for (const auto &row : folder.Rows("SELECT Genre.Genre FROM Genre_Relationships INNER JOIN "
                                       "Genre ON Genre.Genre_ID = Genre_Relationships.Genre_ID "
                                       "WHERE Title_ID = ? ORDER BY Genre.Genre",
                                       {id}))
        names << row[0].toString();
    return names;
}

QStringList castOf(TestFolder &folder, qint64 id)
{
    QStringList pairs;
    for (const auto &row : folder.Rows("SELECT Actor, Character FROM Cast_Relationships WHERE "
                                       "Movie = ? ORDER BY Actor",
                                       {id}))
        pairs << row[0].toString() + " as " + row[1].toString();
    return pairs;
}

} // namespace

class TestE2eModify : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void titleThatIsNotFirst();
    void nullSummaryAndTwoGenres();
    void cancelledAtEachStep_data();
    void cancelledAtEachStep();
};

void TestE2eModify::titleThatIsNotFirst()
{
    ProgramFixture p;
    const qint64 alien = p.folder.AddTitle({.title = "Alien", .genres = {"Horror"}});
    const qint64 brazil = p.folder.AddTitle({.title = "Brazil",
                                             .subTitle = "Criterion",
                                             .date = "1985",
                                             .director = "Terry Gilliam",
                                             .summary = "Ducts.",
                                             .genres = {"Sci-Fi", "Comedy"},
                                             .cast = {{"Robert De Niro", "Tuttle"},
                                                      {"Jonathan Pryce", "Sam Lowry"}}});
    p.folder.AddTitle({.title = "Casablanca"});
    p.start();
    QTest::mouseClick(p.main().UltraGrid->viewport(), Qt::LeftButton, {},
                      p.main().UltraGrid->visualRect(p.main().UltraGrid->model()->index(1, 1))
                          .center());
    QCOMPARE(p.shared().SelectedTitleId, brazil);
    QCOMPARE(p.main().lblRecordSelected->text(), QString("2 of 3"));

    Story story;
    story
        .then<frmModify1>([&](frmModify1 *step) {
            QCOMPARE(p.shared().EditMode, QString("Yes"));
            QVERIFY(step->txtTitleDisplay->isVisible());
            QCOMPARE(step->txtTitleDisplay->text(), QString("Brazil"));
            QCOMPARE(step->txtSubTitle->text(), QString("Criterion"));
            QCOMPARE(step->txtDirector->text(), QString("Terry Gilliam"));
            QVERIFY(step->OptionWishListModify[0]->isChecked());
            step->txtTitleDisplay->selectAll();
            QTest::keyClicks(step->txtTitleDisplay, "Brazil: Director's Cut");
            step->txtDate->selectAll();
            QTest::keyClicks(step->txtDate, "1986");
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            QStringList shown{step->cmbGenre[0]->currentText(), step->cmbGenre[1]->currentText()};
            shown.sort();
            QCOMPARE(shown, QStringList({"Comedy", "Sci-Fi"}));
            QVERIFY(step->cmbGenre[2]->isEnabled());
            QVERIFY(pickFromList(step->cmbGenre[2], "Drama"));
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            // The stored cast, ordered by actor.
            QCOMPARE(step->UltraGrid->model()->rowCount(), 2);
            QCOMPARE(step->UltraGrid->CellValue(0, 0).toString(), QString("Jonathan Pryce"));
            QCOMPARE(step->UltraGrid->CellValue(1, 0).toString(), QString("Robert De Niro"));
            QTest::keyClicks(step->txtActor1, "Kim Greist");
            QTest::keyClicks(step->txtCharacter1, "Jill Layton");
            QTest::keyClick(step->txtActor1, Qt::Key_Return);
            p.activateMain();
            QCOMPARE(p.shared().EditMode, QString("Yes"));
            QTest::mouseClick(step->cmdFinish, Qt::LeftButton);
        });
    story.play([&] { p.clickToolbar(2); });
    QVERIFY(story.complete());

    // Saved over the same ID; the links replaced, not added beside the old ones.
    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 3);
    QCOMPARE(p.folder.Rows("SELECT Title, Date FROM DVD_Title WHERE ID = ?", {brazil}),
             QVector<QVariantList>({{"Brazil: Director's Cut", "1986"}}));
    QCOMPARE(genresOf(p.folder, brazil), QStringList({"Comedy", "Drama", "Sci-Fi"}));
    QCOMPARE(castOf(p.folder, brazil),
             QStringList({"Jonathan Pryce as Sam Lowry", "Kim Greist as Jill Layton",
                          "Robert De Niro as Tuttle"}));
    QCOMPARE(genresOf(p.folder, alien), QStringList{"Horror"});
    // The active row is the first title again.
    QCOMPARE(p.main().lblRecordSelected->text(), QString("1 of 3"));
    QCOMPARE(p.shared().SelectedTitleId, alien);
    QVERIFY(p.main().isEnabled());
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
}

void TestE2eModify::nullSummaryAndTwoGenres()
{
    ProgramFixture p;
    const qint64 id = p.folder.AddTitle({.title = "Heat",
                                         .wishList = 1,
                                         .genres = {"Crime", "Thriller"},
                                         .cast = {{"Al Pacino", "Hanna"}}});
    p.folder.Exec("UPDATE DVD_Title SET Summary = NULL, Eggs = NULL WHERE ID = ?", {id});
    p.start();
    QTest::mouseClick(p.main().OptionWishList[1], Qt::LeftButton);

    Story story;
    story
        .then<frmModify1>([&](frmModify1 *step) {
            QCOMPARE(step->txtSummary->toPlainText(), QString());
            QVERIFY(step->OptionWishListModify[1]->isChecked());
            QCOMPARE(p.shared().GenrePicks[2], QString());
            QCOMPARE(p.shared().GenrePicks[3], QString());
            QTest::keyClick(step->txtDirector, Qt::Key_Return);
        })
        .then<frmModify2>([](frmModify2 *step) {
            QVERIFY(!step->cmbGenre[3]->isEnabled());
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([](frmModify3 *step) { step->cmdFinish->click(); });
    story.play([&] { p.main().mnuModify->trigger(); });
    QVERIFY(story.complete());

    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 1);
    QCOMPARE(p.folder.Scalar("SELECT WishList FROM DVD_Title WHERE ID = ?", {id}).toInt(), 1);
    QCOMPARE(genresOf(p.folder, id), QStringList({"Crime", "Thriller"}));
    QCOMPARE(castOf(p.folder, id), QStringList{"Al Pacino as Hanna"});
    // Still on the wish list, which the main window shows.
    QCOMPARE(p.main().lblRecordSelected->text(), QString("1 of 1"));
}

void TestE2eModify::cancelledAtEachStep_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("escape");
    for (int step = 1; step <= 3; ++step) {
        QTest::addRow("step %d, Cancel", step) << step << false;
        QTest::addRow("step %d, Escape", step) << step << true;
    }
}

void TestE2eModify::cancelledAtEachStep()
{
    QFETCH(int, step);
    QFETCH(bool, escape);

    ProgramFixture p;
    p.folder.AddTitle({.title = "Alien"});
    p.folder.AddTitle({.title = "Brazil", .genres = {"Comedy"}, .cast = {{"Ian Holm", "Kurtzmann"}}});
    p.start();
    p.main().UltraGrid->ActivateRow(1);
    const QByteArray before = p.folder.CatalogueBytes();

    // Each step changes something, then the last one is left.
    auto leaveOrNext = [escape, step](QDialog *window, int index, QPushButton *cancel,
                                      QPushButton *next) {
        if (index < step) {
            QTest::mouseClick(next, Qt::LeftButton);
        } else if (escape) {
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window,
                            Qt::Key_Escape);
        } else {
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    };
    Story story;
    story.then<frmModify1>([&](frmModify1 *w) {
        QTest::keyClicks(w->txtDirector, " and others");
        leaveOrNext(w, 1, w->cmdCancel, w->cmdNext);
    });
    if (step >= 2)
        story.then<frmModify2>([&](frmModify2 *w) {
            QVERIFY(pickFromList(w->cmbGenre[1], "Drama"));
            leaveOrNext(w, 2, w->cmdCancel, w->cmdNext);
        });
    if (step >= 3)
        story.then<frmModify3>([&](frmModify3 *w) {
            w->UltraGrid->ActivateRow(0);
            QTest::mouseClick(w->cmdDelete, Qt::LeftButton);
            leaveOrNext(w, 3, w->cmdCancel, w->cmdFinish);
        });
    story.play([&] { p.clickToolbar(2); });
    QVERIFY(story.complete());

    QCOMPARE(p.folder.CatalogueBytes(), before);
    QVERIFY(p.main().isEnabled());
    QVERIFY(!p.shared().CastRecords);
    QVERIFY(p.shared().GenrePicks[0].isEmpty());
    QCOMPARE(p.main().lblRecordSelected->text(), QString("2 of 2"));
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
}

QTEST_MAIN(TestE2eModify)
#include "test_e2e_modify.moc"
