// The name prompt and the similar-titles warning answer differently for their two
// callers: the add command (which they end when cancelled) and the genre manager.
// Leaving them in the add command is in the end-to-end "abandoned" table.
#include "MessageBox.h"
#include "TestFolder.h"
#include "frmAlert.h"
#include "frmTextBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestPrompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { MessageBox::Reset(); }

    void answer_data();
    void answer();
};

void TestPrompts::answer_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("addTitle");
    QTest::addColumn<bool>("ok");
    for (const char *window : {"prompt", "warning"})
        for (const bool addTitle : {true, false})
            for (const bool ok : {true, false})
                QTest::addRow("%s, %s, %s", window, addTitle ? "add title" : "genre manager",
                              ok ? "OK" : "Cancel")
                    << QString(window) << addTitle << ok;
}

// OK on the prompt starts a new cast list for a new title only; Cancel gives the main
// window back (and the warning's Cancel drops the cast list) for the add command only.
void TestPrompts::answer()
{
    QFETCH(QString, window);
    QFETCH(bool, addTitle);
    QFETCH(bool, ok);
    TestFolder folder;
    folder.AddTitle({.title = "Alien"});
    auto shared = folder.MakeShared();
    shared->AlertQuery = "SELECT Title, Sub_Title, Date, Director FROM DVD_Title ORDER BY Title";
    shared->CreateCastRecords();
    const auto editedCast = shared->CastRecords;
    editedCast->AddNew();
    shared->PromptAccepted = ok ? 0 : 1; // written either way
    shared->PromptCancelled = "False";
    const QByteArray before = folder.CatalogueBytes();
    QWidget mainWindow;
    mainWindow.setEnabled(false);
    const PromptOpener opener = addTitle ? PromptOpener::AddTitle : PromptOpener::GenreManager;

    if (window == "prompt") {
        frmTextBox prompt(*shared, opener, &mainWindow);
        prompt.txtRenameResponse->setText("Aliens");
        (ok ? prompt.cmdOK : prompt.cmdCancel)->click();
        QCOMPARE(shared->PromptText, QString("Aliens"));
        QCOMPARE(shared->PromptCancelled, QString(ok ? "False" : "True"));
    } else {
        frmAlert alert(*shared, opener, &mainWindow);
        alert.Form_Load();
        QCOMPARE(alert.UltraGrid->model()->rowCount(), 1);
        (ok ? alert.cmdOk : alert.cmdCancel)->click();
        QVERIFY(!alert.UltraGrid->DataSource()); // closing lets go of the list
    }
    QCOMPARE(shared->PromptAccepted, ok ? 1 : 0);
    QCOMPARE(mainWindow.isEnabled(), addTitle && !ok);
    const bool newCast = window == "prompt" && addTitle && ok;
    const bool noCast = window == "warning" && addTitle && !ok;
    QCOMPARE(shared->CastRecords == editedCast, !newCast && !noCast);
    if (newCast)
        QCOMPARE(shared->CastRecords->RecordCount(), 0);
    QCOMPARE(shared->CastRecords == nullptr, noCast);
    QCOMPARE(folder.CatalogueBytes(), before);
    QVERIFY(MessageBox::Shown().isEmpty());
}

QTEST_MAIN(TestPrompts)
#include "test_prompts.moc"
