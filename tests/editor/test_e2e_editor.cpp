// Adding and modifying a title from the main window as a user does it: finished, or left
// at any of its windows in each way there is.
#include "Story.h"
#include "frmAlert.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Goes on by the button given, or leaves the window by its Cancel button, by Escape in the
// widget that has the focus, or as the desktop closes it (title bar button, Alt+F4).
template<typename T>
void leaveOr(T *window, QPushButton *onwards, bool leaving, const QString &way)
{
    if (!leaving)
        QTest::mouseClick(onwards, Qt::LeftButton);
    else if (way == "Escape")
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
    else if (way == "Cancel")
        QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
    else
        window->close();
}

} // namespace

class TestE2eEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void editTitle_data();
    void editTitle();
};

void TestE2eEditor::editTitle_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("window"); // the last window: 1 prompt, 2 warning, 3 step 1, ...
    QTest::addColumn<QString>("way");
    QTest::newRow("add, finished") << false << 5 << "Finish";
    QTest::newRow("modify, finished") << true << 5 << "Finish";
    QTest::newRow("add, name prompt, Escape") << false << 1 << "Escape";
    QTest::newRow("add, warning, closed by the desktop") << false << 2 << "closed";
    QTest::newRow("add, step 1, Cancel") << false << 3 << "Cancel";
    QTest::newRow("add, step 2, Escape") << false << 4 << "Escape";
    QTest::newRow("add, step 3, closed by the desktop") << false << 5 << "closed";
    QTest::newRow("modify, step 1, Escape") << true << 3 << "Escape";
    QTest::newRow("modify, step 2, closed by the desktop") << true << 4 << "closed";
    QTest::newRow("modify, step 3, Cancel") << true << 5 << "Cancel";
}

// Every window changes something. Left at any of them, nothing reaches the catalogue, the buffer
// is emptied and the list not reloaded; finished, the edit is stored and the list reloaded.
// Activating the main window, disabled between the steps, must not end the edit.
void TestE2eEditor::editTitle()
{
    QFETCH(bool, modify);
    QFETCH(int, window);
    QFETCH(QString, way);
    ProgramFixture p;
    // By edition it would come second: the list must go by title.
    p.folder.AddTitle({.title = "Alien", .subTitle = "Z", .genres = {"Horror"}});
    const QString ocean = QString::fromUtf8("Océan's Eleven");
    // More genre links than the four boxes, as another tool may write.
    const qint64 second =
        p.folder.AddTitle({.title = ocean,
                           .genres = {"Action", "Comedy", "Crime", "Music", "War", "Western"},
                           .cast = {{"George Clooney", "Danny"}}});
    p.start();
    const QRect row = p.main().UltraGrid->visualRect(p.main().UltraGrid->model()->index(1, 1));
    QTest::mouseClick(p.main().UltraGrid->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(p.shared().SelectedTitleId, second);
    const QByteArray before = p.folder.CatalogueBytes();
    const QString name = QString::fromUtf8("OCÉAN'S ELEVEN"); // the same to the warning
    MessageBox::SetNextAnswer(QMessageBox::Ok);

    Story story;
    if (!modify)
        story.then<frmTextBox>([&](frmTextBox *prompt) {
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return); // "You Must Enter A Name"
            typeText(prompt->txtRenameResponse, name);
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Q, Qt::AltModifier); // types nothing
            leaveOr(prompt, prompt->cmdOK, window == 1, way);
        });
    if (!modify && window >= 2)
        story.then<frmAlert>(
            [&](frmAlert *alert) { leaveOr(alert, alert->cmdOk, window == 2, way); });
    if (window >= 3)
        story.then<frmModify1>([&](frmModify1 *step) {
            step->txtDate->selectAll();
            QTest::keyClicks(step->txtDate, "2001");
            step->txtDirector->selectAll();
            QTest::keyClicks(step->txtDirector, "Jean-Pierre Jeunet");
            QTest::keyClicks(step->txtSummary, "A shy waitress");
            QTest::keyClick(step->txtSummary, Qt::Key_Return);
            QTest::keyClicks(step->txtSummary, "changes lives.");
            leaveOr(step, step->cmdNext, window == 3, way);
        });
    if (window >= 4)
        story.then<frmModify2>([&](frmModify2 *step) {
            p.activateMain();
            QCOMPARE(p.shared().EditMode, QString(modify ? "Yes" : "No"));
            QVERIFY(pickFromList(step->cmbGenre[0], "Drama"));
            QTest::keyClicks(step->txtFeatures, "Commentary");
            // Going on by Back, then Next again: nothing entered here may be lost.
            leaveOr(step, step->cmdBack, window == 4, way);
        });
    if (window == 5)
        story
            .then<frmModify1>(
                [](frmModify1 *step) { QTest::keyClick(step->txtDirector, Qt::Key_Return); })
            .then<frmModify2>([](frmModify2 *step) {
                QCOMPARE(step->txtFeatures->toPlainText(), QString("Commentary"));
                QTest::mouseClick(step->cmdNext, Qt::LeftButton);
            })
            .then<frmModify3>([&](frmModify3 *step) {
                QTest::keyClicks(step->txtActor1, "Audrey Tautou");
                typeText(step->txtCharacter1, QString::fromUtf8("Amélie"));
                QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
                QTest::keyClick(step->txtActor1, Qt::Key_D, Qt::AltModifier);
                leaveOr(step, step->cmdFinish, way != "Finish", way);
            });
    story.play([&] { p.clickToolbar(modify ? 2 : 1); });

    QVERIFY(story.complete());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(p.main().isEnabled() && p.main().isVisible());
    QVERIFY(!p.shared().CastRecords);
    QCOMPARE(MessageBox::Shown(), modify ? QStringList() : QStringList{"You Must Enter A Name"});
    if (way == "Finish") {
        const qint64 id =
            modify ? second : p.folder.Scalar("SELECT MAX(ID) FROM DVD_Title").toLongLong();
        const QString amelie = QString::fromUtf8("Audrey Tautou as Amélie");
        // The cast in the order written; a NULL on either side would make its pair NULL.
        const QString stored = "SELECT Title, Date, Director, Summary, Features, (SELECT "
                               "group_concat(Actor || ' as ' || Character, ', ') FROM "
                               "Cast_Relationships WHERE Movie = ID) FROM DVD_Title WHERE ID = ?";
        QCOMPARE(p.folder.Rows(stored, {id}),
                 (QVector<QVariantList>{{modify ? ocean : name, "2001", "Jean-Pierre Jeunet",
                                         "A shy waitress\nchanges lives.", "Commentary",
                                         modify ? "George Clooney as Danny, " + amelie : amelie}}));
        // Box 0 held Action; the two links past the four boxes are kept.
        QCOMPARE(p.folder.GenreNames(id).join(", "),
                 QString(modify ? "Comedy, Crime, Drama, Music, War, Western" : "Drama"));
        QCOMPARE(p.main().lblRecordSelected->text(), QString(modify ? "1 of 2" : "1 of 3"));
    } else {
        QCOMPARE(p.folder.CatalogueBytes(), before);
        QVERIFY(p.shared().EditDirector.isEmpty() && p.shared().GenrePicks[0].isEmpty());
        QCOMPARE(p.main().lblRecordSelected->text(), QString("2 of 2"));
    }
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
}

QTEST_MAIN(TestE2eEditor)
#include "test_e2e_editor.moc"
