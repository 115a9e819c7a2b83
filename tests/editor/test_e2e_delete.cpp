// Deleting a title from the main window with the real confirmation box: the title, its
// links, its cast and its cover go; Cancel keeps everything; the list is reloaded.
#include "EditorStory.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>

class TestE2eDelete : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void deleteConfirmed_data();
    void deleteConfirmed();
    void deleteAnsweredCancel();
    void deletingTheLastTitleOfTheList();
};

void TestE2eDelete::deleteConfirmed_data()
{
    QTest::addColumn<bool>("withCover");
    QTest::newRow("with a cover file") << true;
    QTest::newRow("without a cover file") << false;
}

void TestE2eDelete::deleteConfirmed()
{
    QFETCH(bool, withCover);

    ProgramFixture p;
    const qint64 alien = p.folder.AddTitle({.title = "Alien", .genres = {"Horror"}});
    const qint64 brazil = p.folder.AddTitle({.title = "Brazil",
                                             .genres = {"Sci-Fi", "Comedy"},
                                             .cast = {{"Jonathan Pryce", "Sam Lowry"},
                                                      {"Robert De Niro", "Tuttle"}}});
    p.folder.AddTitle({.title = "Casablanca"});
    const QString cover = p.folder.ImagesPath() + "/" + QString::number(brazil) + ".jpg";
    if (withCover)
        p.folder.WritePicture(QString::number(brazil) + ".jpg", "JPG", 8, 8);
    p.start();
    QTest::mouseClick(p.main().UltraGrid->viewport(), Qt::LeftButton, {},
                      p.main().UltraGrid->visualRect(p.main().UltraGrid->model()->index(1, 1))
                          .center());
    QCOMPARE(p.shared().SelectedTitleId, brazil);

    Story story;
    story.then<QMessageBox>([](QMessageBox *box) {
        QCOMPARE(box->text(), QString("Are you sure you want to delete Brazil?"));
        QCOMPARE(box->windowTitle(), QString("Confirm Title Deletion"));
        QCOMPARE(box->icon(), QMessageBox::Information);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    story.play([&] { p.clickToolbar(3); });
    QVERIFY(story.complete());

    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM DVD_Title WHERE ID = ?", {brazil}).toInt(), 0);
    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM Genre_Relationships WHERE Title_ID = ?",
                             {brazil})
                 .toInt(),
             0);
    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM Cast_Relationships WHERE Movie = ?", {brazil})
                 .toInt(),
             0);
    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM Genre_Relationships").toInt(), 1);
    QVERIFY(!QFile::exists(cover));
    QCOMPARE(p.main().lblRecordSelected->text(), QString("1 of 2"));
    QCOMPARE(p.shared().SelectedTitleId, alien);
    QCOMPARE(p.main().lblTitle->text(), QString("Alien"));
    QVERIFY(p.main().isEnabled());
}

void TestE2eDelete::deleteAnsweredCancel()
{
    ProgramFixture p;
    const qint64 id = p.folder.AddTitle({.title = "Alien", .genres = {"Horror"},
                                         .cast = {{"Sigourney Weaver", "Ripley"}}});
    const QString cover = p.folder.WritePicture(QString::number(id) + ".jpg", "JPG", 8, 8);
    p.start();
    const QByteArray before = p.folder.CatalogueBytes();

    Story story;
    story.then<QMessageBox>([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
    story.play([&] { p.main().mnuDelete->trigger(); });
    QVERIFY(story.complete());

    QCOMPARE(p.folder.CatalogueBytes(), before);
    QVERIFY(QFile::exists(cover));
    QCOMPARE(p.main().lblRecordSelected->text(), QString("1 of 1"));
}

void TestE2eDelete::deletingTheLastTitleOfTheList()
{
    ProgramFixture p;
    p.folder.AddTitle({.title = "Owned"});
    const qint64 wished = p.folder.AddTitle({.title = "Wished", .wishList = 1});
    p.start();
    QTest::mouseClick(p.main().OptionWishList[1], Qt::LeftButton);
    QCOMPARE(p.shared().SelectedTitleId, wished);

    Story story;
    story.then<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Ok)->click(); });
    story.play([&] { p.clickToolbar(3); });
    QVERIFY(story.complete());

    QCOMPARE(p.main().lblRecordSelected->text(), QString("0 of 0"));
    QVERIFY(!p.main().mnuDelete->isEnabled());
    QVERIFY(!p.main().mnuModify->isEnabled());
    QVERIFY(!p.main().ToolbarButton(3)->isEnabled());
    // The deleted title's ID stays selected; the panel is empty because the list is.
    QCOMPARE(p.shared().SelectedTitleId, wished);
    QVERIFY(p.main().lblTitle->text().isEmpty());
    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 1);
}

QTEST_MAIN(TestE2eDelete)
#include "test_e2e_delete.moc"
