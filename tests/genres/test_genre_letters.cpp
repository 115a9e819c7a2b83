// The genre manager and the warning with names in any script and case, and its typing limit.
#include "GenreBoxes.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmAlert.h"
#include "frmGenre.h"
#include "frmTextBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class EditorBoxes : public GenreBoxes
{
public:
    std::array<QString, 4> boxes;
    QString GenreBoxText(int index) const override { return boxes[index]; }
    void SetGenreBoxText(int index, const QString &text) override { boxes[index] = text; }
    void GenreManagerFinished() override {}
};

QStringList listed(const frmGenre &window)
{
    QStringList names;
    for (int row = 0; row < window.UltraGrid->model()->rowCount(); ++row)
        names << window.UltraGrid->CellValue(row, 0).toString();
    return names;
}

} // namespace

class TestGenreLetters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void listedInReadingOrder();
    void removeOrRenameInAnyCase_data();
    void removeOrRenameInAnyCase();
    void typingNeverLengthens_data();
    void typingNeverLengthens();
};

void TestGenreLetters::listedInReadingOrder()
{
    TestFolder folder;
    folder.AddGenre("Épopée");
    folder.AddGenre("zombie");
    auto shared = folder.MakeShared();
    EditorBoxes editor;
    frmGenre window(*shared, &editor);
    window.Form_Load();
    const QStringList names = listed(window);
    QCOMPARE(names.indexOf("Épopée"), names.indexOf("Drama") + 1);
    QCOMPARE(names.indexOf("Family"), names.indexOf("Épopée") + 1);
    QCOMPARE(names.last(), QString("zombie"));
}

void TestGenreLetters::removeOrRenameInAnyCase_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::newRow("remove épopée") << "Épopée" << "épopée" << "remove";
    QTest::newRow("rename ÉPOPÉE") << "Épopée" << "ÉPOPÉE" << "rename";
    QTest::newRow("remove Greek in capitals") << "σίσυφος" << "ΣΊΣΥΦΟΣ" << "remove";
}

void TestGenreLetters::removeOrRenameInAnyCase()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    TestFolder folder;
    const qint64 genre = folder.AddGenre(stored);
    folder.AddTitle({.title = "Epic", .genres = {stored}});
    auto shared = folder.MakeShared();
    EditorBoxes editor;
    editor.boxes[0] = stored;
    shared->GenrePicks[0] = stored;
    frmGenre window(*shared, &editor);
    window.Form_Load();
    window.txtGenreAdd->setText(typed);

    // The deletion question (or the new name), then the warning listing the title.
    ModalWaiter prompt;
    if (button == "rename")
        prompt.Expect<frmTextBox>([](frmTextBox *box) {
            box->txtRenameResponse->setText("Saga");
            box->cmdOK->click();
        });
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QStringList warned;
    ModalWaiter alert;
    alert.Expect<frmAlert>([&](frmAlert *warning) {
        for (int row = 0; row < warning->UltraGrid->model()->rowCount(); ++row)
            warned << warning->UltraGrid->CellValue(row, 0).toString();
        warning->cmdOk->click();
    });

    (button == "remove" ? window.cmdGenreRemove : window.cmdGenreRename)->click();

    QVERIFY(!MessageBox::Shown().contains("The Genre Entered Does Not Exist"));
    QCOMPARE(warned, QStringList{"Epic"});
    if (button == "remove") {
        QCOMPARE(folder.Scalar("SELECT Count(*) FROM Genre WHERE Genre_ID = ?", {genre}).toInt(),
                 0);
        QCOMPARE(folder.Scalar("SELECT Count(*) FROM Genre_Relationships").toInt(), 0);
        QCOMPARE(editor.boxes[0], QString());
        QCOMPARE(shared->GenrePicks[0], QString());
    } else {
        QCOMPARE(folder.Scalar("SELECT Genre FROM Genre WHERE Genre_ID = ?", {genre}).toString(),
                 QString("Saga"));
        QCOMPARE(editor.boxes[0], QString("Saga"));
    }
}

void TestGenreLetters::typingNeverLengthens_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("long name shown: kept whole, typing cannot lengthen it")
        << "Aaa Long Genre Name Here" << 4 << "XYZWV" << "Aaa Long Genre Name ";
    QTest::newRow("long name cut below 12: back to 12")
        << "Aaa Long Genre Name Here" << 20 << "XYZWVUTSRQPONM" << "Aaa XYZWVUTS";
    QTest::newRow("short name") << "Drama" << 0 << "tic Comedies" << "Dramatic Com";
}

void TestGenreLetters::typingNeverLengthens()
{
    QFETCH(QString, shown);
    QFETCH(int, backspaces);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    TestFolder folder;
    folder.AddGenre(shown);
    auto shared = folder.MakeShared();
    EditorBoxes editor;
    frmGenre window(*shared, &editor);
    window.Form_Load();
    window.UltraGrid->ActivateRow(int(listed(window).indexOf(shown)));
    QCOMPARE(window.txtGenreAdd->text(), shown);

    QTest::keyClick(window.txtGenreAdd, Qt::Key_End);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(window.txtGenreAdd, Qt::Key_Backspace);
    QTest::keyClicks(window.txtGenreAdd, typed);

    QCOMPARE(window.txtGenreAdd->text(), expected);
}

QTEST_MAIN(TestGenreLetters)
#include "test_genre_letters.moc"
