// Editor step 3: building the cast list, its cell guard, and leaving by Back or Finish.
// Cancel and Escape are in the end-to-end "abandoned" table.
#include "DataGrid.h"
#include "EditorFixture.h"
#include "MessageBox.h"
#include "RecordList.h"
#include "StepResult.h"
#include "frmModify3.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

// A stored title, and an add of "Alpha's Title" with these actors (each "<actor> role").
struct Step3 : EditorFixture
{
    explicit Step3(const QStringList &actors = {})
    {
        folder.AddTitle({.title = "Zulu Stored"});
        CastPairs cast;
        for (const QString &actor : actors)
            cast.append({actor, actor + " role"});
        Fill("No", "Alpha's Title", {"Drama", "War"}, cast);
    }
};

// Edits a cell in place as a user does: opens its editor, types, presses Enter.
void editCell(frmModify3 &window, int row, int column, const QString &typed)
{
    const QModelIndex cell = window.UltraGrid->Model()->index(row, column);
    window.UltraGrid->setCurrentIndex(cell);
    window.UltraGrid->edit(cell);
    QPointer<QLineEdit> editor = window.UltraGrid->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    if (typed.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else
        QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    // The grid commits and closes its editor from the event loop; the check follows it.
    QTRY_VERIFY(!editor);
    QCoreApplication::processEvents();
}

} // namespace

class TestFrmModify3 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Boxes are answered without a window; each test checks what was shown.
    void init() { for (int i = 0; i < 4; ++i) MessageBox::SetNextAnswer(QMessageBox::Ok); }
    void cleanup() { MessageBox::Reset(); }

    void add_data();
    void add();
    void deleteRemovesActiveRow();
    void editGuard_data();
    void editGuard();
    void escapeInCellEditorEndsOnlyTheCellEdit();
    void backKeepsEverything();
    void finishSavesAndRefreshesMain();
    void finishAfterFailedSaveKeepsWindow();
};

void TestFrmModify3::add_data()
{
    QTest::addColumn<QString>("actor");
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("how"); // Add clicked, or Enter in the actor or character box
    QTest::addColumn<bool>("added");
    QTest::newRow("both filled") << "Ann O'Neil" << "Queen \"Bee\"" << "click" << true;
    QTest::newRow("Enter in the actor box") << "Ann" << "Hero" << "actor" << true;
    QTest::newRow("Enter in the character box") << "Ann" << "Hero" << "character" << true;
    QTest::newRow("spaces count as filled, kept untrimmed") << " " << "  Role  " << "click" << true;
    QTest::newRow("actor empty") << "" << "Role" << "click" << false;
    QTest::newRow("character empty") << "Ann" << "" << "character" << false;
}

void TestFrmModify3::add()
{
    QFETCH(QString, actor);
    QFETCH(QString, character);
    QFETCH(QString, how);
    QFETCH(bool, added);
    Step3 s;
    frmModify3 window(*s.shared, s.main);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(!window.cmdDelete->isEnabled());
    window.txtActor1->setText(actor);
    window.txtCharacter1->setText(character);
    if (how == "click")
        window.cmdAdd->click();
    else
        QTest::keyClick(how == "actor" ? window.txtActor1 : window.txtCharacter1, Qt::Key_Return);

    QVERIFY(window.isVisible());
    if (!added) {
        QCOMPARE(MessageBox::Shown(), QStringList{"Please Complete All Required Fields"});
        QCOMPARE(s.shared->CastRecords->RecordCount(), 0);
        QCOMPARE(window.txtActor1->text(), actor);
        QVERIFY(!window.cmdDelete->isEnabled());
        return;
    }
    QVERIFY(MessageBox::Shown().isEmpty());
    QCOMPARE(s.Actors(), QStringList{actor});
    QCOMPARE(window.UltraGrid->CellValue(0, 1).toString(), character);
    QVERIFY(window.txtActor1->text().isEmpty() && window.txtCharacter1->text().isEmpty());
    QVERIFY(window.txtActor1->hasFocus());
    QVERIFY(window.cmdDelete->isEnabled());
}

void TestFrmModify3::deleteRemovesActiveRow()
{
    Step3 s({"Ann", "Bob", "Cid"});
    frmModify3 window(*s.shared, s.main);
    window.UltraGrid->ActivateRow(1);
    window.cmdDelete->click();
    QCOMPARE(s.Actors(), QStringList({"Ann", "Cid"}));
    QCOMPARE(window.UltraGrid->ActiveRow(), 0); // the fit puts the grid on its first cell
    window.cmdDelete->click();
    window.cmdDelete->click();
    QVERIFY(s.Actors().isEmpty());
    QVERIFY(!window.cmdDelete->isEnabled());
    QVERIFY(MessageBox::Shown().isEmpty());
    // The button is disabled on an empty list; the handler still guards the list.
    window.cmdDelete->setEnabled(true);
    window.cmdDelete->click();
    QCOMPARE(MessageBox::Shown(), QStringList{"There Are No Records Selected To Delete"});
    QVERIFY(!window.cmdDelete->isEnabled());
}

void TestFrmModify3::editGuard_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<bool>("refused");
    QTest::newRow("actor emptied") << 0 << "" << "Bob" << true;
    QTest::newRow("character emptied") << 1 << "" << "Bob role" << true;
    QTest::newRow("single space accepted") << 0 << " " << " " << false;
    QTest::newRow("new text accepted") << 1 << "King's Man" << "King's Man" << false;
}

void TestFrmModify3::editGuard()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(bool, refused);
    Step3 s({"Ann", "Bob"});
    frmModify3 window(*s.shared, s.main);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    editCell(window, 1, column, typed);
    QCOMPARE(MessageBox::Shown(),
             refused ? QStringList{"You Must Fill Both Values."} : QStringList());
    QCOMPARE(window.UltraGrid->CellValue(1, column).toString(), kept);
    QCOMPARE(s.shared->CastRecords->RecordCount(), 2);
    QVERIFY(window.isVisible());
}

void TestFrmModify3::escapeInCellEditorEndsOnlyTheCellEdit()
{
    Step3 s({"Ann"});
    frmModify3 window(*s.shared, s.main);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QModelIndex cell = window.UltraGrid->Model()->index(0, 0);
    window.UltraGrid->setCurrentIndex(cell);
    window.UltraGrid->edit(cell);
    QPointer<QLineEdit> editor = window.UltraGrid->findChild<QLineEdit *>();
    QVERIFY(editor);
    QTest::keyClicks(editor, "Typo");
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!editor);
    QVERIFY(window.isVisible());
    QCOMPARE(s.Actors(), QStringList{"Ann"});
    QCOMPARE(s.shared->EditDirector, QString("Ann O'Director"));
}

void TestFrmModify3::backKeepsEverything()
{
    Step3 s({"Ann", "Bob"});
    const auto list = s.shared->CastRecords;
    frmModify3 window(*s.shared, s.main);
    window.cmdBack->click();
    QCOMPARE(window.result(), int(StepBack));
    QCOMPARE(s.shared->CastRecords, list);
    QCOMPARE(s.Actors(), QStringList({"Ann", "Bob"}));
    QCOMPARE(s.shared->EditDirector, QString("Ann O'Director"));
    QCOMPARE(s.shared->GenrePicks[1], QString("War"));
    QVERIFY(!s.main.isEnabled());
    // Forward again: the same rows.
    frmModify3 again(*s.shared, s.main);
    QCOMPARE(again.UltraGrid->CellValue(1, 0).toString(), QString("Bob"));
}

void TestFrmModify3::finishSavesAndRefreshesMain()
{
    Step3 s({"Ann"});
    frmModify3 window(*s.shared, s.main);
    window.show();
    window.txtActor1->setText("Bob");
    window.txtCharacter1->setText("Hero");
    window.cmdAdd->click();
    window.cmdFinish->click();

    QVERIFY(MessageBox::Shown().isEmpty());
    QCOMPARE(window.result(), int(StepFinished));
    QVERIFY(!window.isVisible());
    // The buffer is emptied apart from what the next add starts with.
    QVERIFY(s.shared->EditDirector.isEmpty() && s.shared->GenrePicks[0].isEmpty());
    QVERIFY(!s.shared->CastRecords);
    QCOMPARE(s.shared->EditMode, QString("No"));
    QVERIFY(s.main.isEnabled());
    const qint64 id =
        s.folder.Scalar("SELECT ID FROM DVD_Title WHERE Title = 'Alpha''s Title'").toLongLong();
    QCOMPARE(s.StoredCast(id).size(), 2);
    // The main list was reloaded: the new title is listed first, in title order.
    QCOMPARE(s.main.RecordCount(), 2);
    QCOMPARE(s.main.Position(), 1);
    QCOMPARE(s.main.TitleList()->ValueAt(0, 1).toString(), QString("Alpha's Title"));
}

void TestFrmModify3::finishAfterFailedSaveKeepsWindow()
{
    Step3 s({"Ann"});
    s.shared->GenrePicks[1] = "Removed Meanwhile";
    const QByteArray before = s.folder.CatalogueBytes();
    frmModify3 window(*s.shared, s.main);
    window.show();
    window.cmdFinish->click();

    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY(MessageBox::Shown().first().startsWith("Error 3021 inserting records.\r\n"));
    QVERIFY(window.isVisible());
    QVERIFY(s.folder.CatalogueBytes() == before);
    QCOMPARE(s.shared->EditDirector, QString("Ann O'Director"));
    QCOMPARE(s.Actors(), QStringList{"Ann"});
    QVERIFY(!s.main.isEnabled());
    // Back lets step 2 correct the pick.
    window.cmdBack->click();
    QCOMPARE(window.result(), int(StepBack));
    QCOMPARE(s.shared->GenrePicks[1], QString("Removed Meanwhile"));
}

QTEST_MAIN(TestFrmModify3)
#include "test_frmModify3.moc"
