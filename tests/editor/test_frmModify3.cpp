// Editor step 3: building the cast list, leaving by Back, Cancel, Escape or Finish.
#include "DataGrid.h"
#include "MessageBox.h"
#include "Module1.h"
#include "RecordList.h"
#include "TestFolder.h"
#include "Twips.h"
#include "frmMain.h"
#include "frmModify3.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

// A program folder with one stored title, a loaded main window (disabled, as the title
// commands leave it) and an edit buffer for a new title, for one test case.
struct Step3
{
    TestFolder folder;
    std::unique_ptr<Module1> shared = folder.MakeShared();
    frmMain main{*shared};

    explicit Step3(const QStringList &actors = {})
    {
        folder.AddTitle({.title = QStringLiteral("Zulu Stored")});
        main.Form_Load();
        main.setEnabled(false);
        shared->EditMode = QStringLiteral("No");
        shared->EditTitle = QStringLiteral("Alpha's Title");
        shared->EditSubTitle = QStringLiteral("Director's Cut");
        shared->EditDate = QStringLiteral("1999");
        shared->EditDirector = QStringLiteral("Di Rector");
        shared->EditSummary = QStringLiteral("Summary");
        shared->EditFeatures = QStringLiteral("Features");
        shared->EditEggs = QStringLiteral("Eggs");
        shared->EditWishList = 0;
        shared->GenrePicks = {QStringLiteral("Drama"), QStringLiteral("War"), QString(), QString()};
        shared->CreateCastRecords();
        for (const QString &actor : actors) {
            shared->CastRecords->AddNew();
            shared->CastRecords->SetValue(0, actor);
            shared->CastRecords->SetValue(1, actor + QStringLiteral(" role"));
        }
    }

    QStringList Actors() const
    {
        QStringList names;
        for (int row = 0; row < shared->CastRecords->RecordCount(); ++row)
            names << shared->CastRecords->ValueAt(row, 0).toString();
        return names;
    }

    // Everything step 3's Cancel and Finish clear is empty; what they keep is kept.
    void VerifyBufferCleared() const
    {
        QVERIFY(shared->EditSubTitle.isEmpty());
        QVERIFY(shared->EditDate.isEmpty());
        QVERIFY(shared->EditDirector.isEmpty());
        QVERIFY(shared->EditSummary.isEmpty());
        QVERIFY(shared->EditFeatures.isEmpty());
        QVERIFY(shared->EditEggs.isEmpty());
        for (const QString &pick : shared->GenrePicks)
            QVERIFY(pick.isEmpty());
        QCOMPARE(shared->EditTitle, QStringLiteral("Alpha's Title"));
        QCOMPARE(shared->EditMode, QStringLiteral("No"));
        QVERIFY(!shared->CastRecords);
    }
};

int expectedWidthPixels(const frmModify3 &window, const QString &header, const QStringList &values)
{
    const QFontMetrics metrics(window.font());
    int twips = Twips::TextWidth(metrics, header);
    for (const QString &value : values)
        if (!value.isEmpty())
            twips = std::max(twips, Twips::TextWidth(metrics, value) + 200);
    return Twips::ToPixels(twips);
}

} // namespace

class TestFrmModify3 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Boxes are answered without a window; each test checks what was shown.
    void init() { for (int i = 0; i < 4; ++i) MessageBox::SetNextAnswer(QMessageBox::Ok); }
    void cleanup() { MessageBox::Reset(); }

    void loadShowsTitleAndList();
    void add_data();
    void add();
    void enterInEitherBoxAdds_data();
    void enterInEitherBoxAdds();
    void deleteRemovesActiveRow();
    void deleteOnEmptyList();
    void columnFit_data();
    void columnFit();
    void editGuard_data();
    void editGuard();
    void escapeInCellEditorEndsOnlyTheCellEdit();
    void backKeepsEverything();
    void cancel_data();
    void cancel();
    void finishSavesAndRefreshesMain();
    void finishAfterFailedSaveKeepsWindow();
    void multiPasteHandsOverRows_data();
    void multiPasteHandsOverRows();
};

void TestFrmModify3::loadShowsTitleAndList()
{
    Step3 s({QStringLiteral("Ann"), QStringLiteral("Bob")});
    frmModify3 window(*s.shared, s.main);
    QCOMPARE(window.windowTitle(), QStringLiteral("3/3"));
    QCOMPARE(window.lblTitleDisplay->text(), QStringLiteral("Alpha's Title"));
    QCOMPARE(window.UltraGrid->HeaderCaption(0), QStringLiteral("Actor"));
    QCOMPARE(window.UltraGrid->HeaderCaption(1), QStringLiteral("Character"));
    QCOMPARE(window.UltraGrid->Model()->rowCount(), 2);
    QCOMPARE(window.UltraGrid->ActiveRow(), 0);
    QVERIFY(window.cmdDelete->isEnabled());
    QVERIFY(window.cmdAdd->isDefault());
}

void TestFrmModify3::add_data()
{
    QTest::addColumn<QString>("actor");
    QTest::addColumn<QString>("character");
    QTest::addColumn<bool>("added");
    QTest::newRow("both filled") << "Ann O'Neil" << "Queen \"Bee\"" << true;
    QTest::newRow("spaces count as filled, kept untrimmed") << " " << "  Role  " << true;
    QTest::newRow("actor empty") << "" << "Role" << false;
    QTest::newRow("character empty") << "Ann" << "" << false;
    QTest::newRow("both empty") << "" << "" << false;
}

void TestFrmModify3::add()
{
    QFETCH(QString, actor);
    QFETCH(QString, character);
    QFETCH(bool, added);
    Step3 s;
    frmModify3 window(*s.shared, s.main);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(!window.cmdDelete->isEnabled());

    window.txtActor1->setText(actor);
    window.txtCharacter1->setText(character);
    window.txtCharacter1->setFocus();
    window.cmdAdd->click();

    if (!added) {
        QCOMPARE(MessageBox::Shown(), QStringList{QStringLiteral("Please Complete All Required Fields")});
        QCOMPARE(s.shared->CastRecords->RecordCount(), 0);
        QCOMPARE(window.txtActor1->text(), actor);
        QCOMPARE(window.txtCharacter1->text(), character);
        QVERIFY(!window.cmdDelete->isEnabled());
        return;
    }
    QVERIFY(MessageBox::Shown().isEmpty());
    QCOMPARE(s.shared->CastRecords->RecordCount(), 1);
    QCOMPARE(window.UltraGrid->CellValue(0, 0).toString(), actor);
    QCOMPARE(window.UltraGrid->CellValue(0, 1).toString(), character);
    QVERIFY(window.txtActor1->text().isEmpty());
    QVERIFY(window.txtCharacter1->text().isEmpty());
    QVERIFY(window.txtActor1->hasFocus());
    QVERIFY(window.cmdDelete->isEnabled());
}

void TestFrmModify3::enterInEitherBoxAdds_data()
{
    QTest::addColumn<bool>("inActorBox");
    QTest::newRow("actor box") << true;
    QTest::newRow("character box") << false;
}

void TestFrmModify3::enterInEitherBoxAdds()
{
    QFETCH(bool, inActorBox);
    Step3 s({QStringLiteral("First")});
    frmModify3 window(*s.shared, s.main);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClicks(window.txtActor1, QStringLiteral("Second"));
    QTest::keyClicks(window.txtCharacter1, QStringLiteral("Hero"));
    QTest::keyClick(inActorBox ? window.txtActor1 : window.txtCharacter1, Qt::Key_Return);
    QCOMPARE(s.Actors(), (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
    QVERIFY(window.isVisible());
}

void TestFrmModify3::deleteRemovesActiveRow()
{
    Step3 s({QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cid")});
    frmModify3 window(*s.shared, s.main);
    window.UltraGrid->ActivateRow(1);
    window.cmdDelete->click();
    QCOMPARE(s.Actors(), (QStringList{QStringLiteral("Ann"), QStringLiteral("Cid")}));
    QCOMPARE(window.UltraGrid->ActiveRow(), 0); // the fit puts the grid on its first cell
    QVERIFY(window.cmdDelete->isEnabled());

    window.cmdDelete->click();
    window.cmdDelete->click();
    QVERIFY(s.Actors().isEmpty());
    QVERIFY(!window.cmdDelete->isEnabled());
    QVERIFY(MessageBox::Shown().isEmpty());
}

void TestFrmModify3::deleteOnEmptyList()
{
    Step3 s;
    frmModify3 window(*s.shared, s.main);
    // The button is disabled on an empty list; the handler still guards the list.
    window.cmdDelete->setEnabled(true);
    window.cmdDelete->click();
    QCOMPARE(MessageBox::Shown(), QStringList{QStringLiteral("There Are No Records Selected To Delete")});
    QCOMPARE(MessageBox::ShownTitles(), QStringList{QStringLiteral("Reelvane")});
    QCOMPARE(s.shared->CastRecords->RecordCount(), 0);
    QVERIFY(!window.cmdDelete->isEnabled());
}

void TestFrmModify3::columnFit_data()
{
    QTest::addColumn<QStringList>("actors");
    QTest::addColumn<QStringList>("characters");
    QTest::newRow("no rows: header widths") << QStringList() << QStringList();
    QTest::newRow("short values: never narrower than the header")
        << QStringList{QStringLiteral("A")} << QStringList{QStringLiteral("B")};
    QTest::newRow("long values: widest plus margin")
        << QStringList{QStringLiteral("Short"), QStringLiteral("A Much Longer Actor Name Here")}
        << QStringList{QStringLiteral("Somebody With A Long Character Name"), QStringLiteral("X")};
    QTest::newRow("empty values do not count")
        << QStringList{QString(), QStringLiteral("Al")} << QStringList{QStringLiteral("Role"), QString()};
}

void TestFrmModify3::columnFit()
{
    QFETCH(QStringList, actors);
    QFETCH(QStringList, characters);
    Step3 s;
    frmModify3 window(*s.shared, s.main);
    // Rows replaced from outside the window, as the paste generator does, then fitted.
    QVector<RecordList::Row> rows;
    for (int i = 0; i < actors.size(); ++i)
        rows << RecordList::Row{actors[i].isEmpty() ? QVariant() : QVariant(actors[i]),
                                characters[i].isEmpty() ? QVariant() : QVariant(characters[i])};
    s.shared->CastRecords->SetRows(rows);
    window.ColResize();

    QCOMPARE(window.UltraGrid->columnWidth(0),
             expectedWidthPixels(window, QStringLiteral("Actor"), actors));
    QCOMPARE(window.UltraGrid->columnWidth(1),
             expectedWidthPixels(window, QStringLiteral("Character"), characters));
    QCOMPARE(window.cmdDelete->isEnabled(), !actors.isEmpty());
    QCOMPARE(window.UltraGrid->ActiveRow(), actors.isEmpty() ? -1 : 0);
    QVERIFY(window.UltraGrid->selectionModel()->selectedIndexes().isEmpty());
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
    Step3 s({QStringLiteral("Ann"), QStringLiteral("Bob")});
    frmModify3 window(*s.shared, s.main);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Edit the cell in place as a user does: open its editor, type, press Enter.
    const QModelIndex cell = window.UltraGrid->Model()->index(1, column);
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

    const QStringList message = refused ? QStringList{QStringLiteral("You Must Fill Both Values.")}
                                        : QStringList();
    QCOMPARE(MessageBox::Shown(), message);
    QCOMPARE(window.UltraGrid->CellValue(1, column).toString(), kept);
    QCOMPARE(s.shared->CastRecords->RecordCount(), 2);
    QVERIFY(window.isVisible());
}

void TestFrmModify3::escapeInCellEditorEndsOnlyTheCellEdit()
{
    Step3 s({QStringLiteral("Ann")});
    frmModify3 window(*s.shared, s.main);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QModelIndex cell = window.UltraGrid->Model()->index(0, 0);
    window.UltraGrid->setCurrentIndex(cell);
    window.UltraGrid->edit(cell);
    QPointer<QLineEdit> editor = window.UltraGrid->findChild<QLineEdit *>();
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("Typo"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!editor);

    QVERIFY(window.isVisible());
    QCOMPARE(s.Actors(), QStringList{QStringLiteral("Ann")});
    QCOMPARE(s.shared->EditDirector, QStringLiteral("Di Rector"));
}

void TestFrmModify3::backKeepsEverything()
{
    Step3 s({QStringLiteral("Ann"), QStringLiteral("Bob")});
    const auto list = s.shared->CastRecords;
    frmModify3 window(*s.shared, s.main);
    window.cmdBack->click();
    QCOMPARE(window.result(), int(StepBack));
    QCOMPARE(s.shared->CastRecords, list);
    QCOMPARE(s.Actors(), (QStringList{QStringLiteral("Ann"), QStringLiteral("Bob")}));
    QCOMPARE(s.shared->EditDirector, QStringLiteral("Di Rector"));
    QCOMPARE(s.shared->GenrePicks[1], QStringLiteral("War"));
    QVERIFY(!s.main.isEnabled());

    // Forward again: the same rows.
    frmModify3 again(*s.shared, s.main);
    QCOMPARE(again.UltraGrid->Model()->rowCount(), 2);
    QCOMPARE(again.UltraGrid->CellValue(1, 0).toString(), QStringLiteral("Bob"));
}

void TestFrmModify3::cancel_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("Escape key") << true;
}

void TestFrmModify3::cancel()
{
    QFETCH(bool, escape);
    Step3 s({QStringLiteral("Ann")});
    const QByteArray before = s.folder.CatalogueBytes();
    frmModify3 window(*s.shared, s.main);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    if (escape)
        QTest::keyClick(window.txtActor1, Qt::Key_Escape);
    else
        window.cmdCancel->click();

    QCOMPARE(window.result(), int(StepCancelled));
    QVERIFY(!window.isVisible());
    s.VerifyBufferCleared();
    QVERIFY(s.main.isEnabled());
    QVERIFY(s.main.isVisible());
    QVERIFY(s.folder.CatalogueBytes() == before);
    QCOMPARE(s.main.RecordCount(), 1);
    QVERIFY(MessageBox::Shown().isEmpty());
}

void TestFrmModify3::finishSavesAndRefreshesMain()
{
    Step3 s({QStringLiteral("Ann")});
    frmModify3 window(*s.shared, s.main);
    window.show();
    window.txtActor1->setText(QStringLiteral("Bob"));
    window.txtCharacter1->setText(QStringLiteral("Hero"));
    window.cmdAdd->click();
    window.cmdFinish->click();

    QVERIFY(MessageBox::Shown().isEmpty());
    QCOMPARE(window.result(), int(StepFinished));
    QVERIFY(!window.isVisible());
    s.VerifyBufferCleared();
    QVERIFY(s.main.isEnabled());
    QVERIFY(s.main.isVisible());

    const qint64 id = s.folder.Scalar(QStringLiteral("SELECT ID FROM DVD_Title WHERE Title = "
                                                     "'Alpha''s Title'"))
                          .toLongLong();
    QVERIFY(id > 0);
    QCOMPARE(s.folder.Scalar(QStringLiteral("SELECT COUNT(*) FROM Cast_Relationships WHERE "
                                            "Movie = ?"),
                             {id})
                 .toInt(),
             2);
    // The main list was reloaded: the new title is listed first, in title order.
    QCOMPARE(s.main.RecordCount(), 2);
    QCOMPARE(s.main.Position(), 1);
    QCOMPARE(s.main.TitleList()->ValueAt(0, 1).toString(), QStringLiteral("Alpha's Title"));
}

void TestFrmModify3::finishAfterFailedSaveKeepsWindow()
{
    Step3 s({QStringLiteral("Ann")});
    s.shared->GenrePicks[1] = QStringLiteral("Removed Meanwhile");
    const QByteArray before = s.folder.CatalogueBytes();
    frmModify3 window(*s.shared, s.main);
    window.show();
    window.cmdFinish->click();

    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY(MessageBox::Shown().first().startsWith(QStringLiteral("Error 3021 inserting records.\r\n")));
    QVERIFY(window.isVisible());
    QVERIFY(s.folder.CatalogueBytes() == before);
    QCOMPARE(s.shared->EditDirector, QStringLiteral("Di Rector"));
    QCOMPARE(s.Actors(), QStringList{QStringLiteral("Ann")});
    QVERIFY(!s.main.isEnabled());

    // Back lets step 2 correct the pick.
    window.cmdBack->click();
    QCOMPARE(window.result(), int(StepBack));
    QCOMPARE(s.shared->GenrePicks[1], QStringLiteral("Removed Meanwhile"));
}

void TestFrmModify3::multiPasteHandsOverRows_data()
{
    QTest::addColumn<bool>("newList");
    QTest::newRow("rows replaced") << false;
    QTest::newRow("list replaced") << true;
}

void TestFrmModify3::multiPasteHandsOverRows()
{
    QFETCH(bool, newList);
    Step3 s({QStringLiteral("Ann")});
    frmModify3 window(*s.shared, s.main);
    window.show();
    // What the paste generator's Finish does: new rows (or a new list), then ColResize.
    if (newList)
        s.shared->CreateCastRecords();
    s.shared->CastRecords->SetRows({{QStringLiteral("Pasted"), QStringLiteral("Row")},
                                    {QStringLiteral("Second"), QStringLiteral("Row")}});
    window.ColResize();
    QCOMPARE(window.UltraGrid->Model()->rowCount(), 2);
    QCOMPARE(window.UltraGrid->CellValue(1, 0).toString(), QStringLiteral("Second"));
    QVERIFY(window.cmdDelete->isEnabled());

    // The window goes on working on the list it was handed.
    window.cmdDelete->click();
    QCOMPARE(s.Actors(), QStringList{QStringLiteral("Second")});
}

QTEST_MAIN(TestFrmModify3)
#include "test_frmModify3.moc"
