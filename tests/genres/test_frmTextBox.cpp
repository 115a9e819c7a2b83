#include "MessageBox.h"
#include "TestFolder.h"
#include "frmTextBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestFrmTextBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { MessageBox::Reset(); }

    void emptyNameIsRefusedAndPromptStays();
    void nameIsTakenAsTyped_data();
    void nameIsTakenAsTyped();
    void typingStopsAtFiftyFiveCharacters();
    void cancelWays_data();
    void cancelWays();
    void okStartsCastListOnlyForAddTitle_data();
    void okStartsCastListOnlyForAddTitle();
    void cancelEnablesMainWindowOnlyForAddTitle_data();
    void cancelEnablesMainWindowOnlyForAddTitle();
};

void TestFrmTextBox::emptyNameIsRefusedAndPromptStays()
{
    TestFolder folder;
    auto shared = folder.MakeShared();
    shared->PromptAccepted = 7;
    shared->PromptText = QStringLiteral("before");
    frmTextBox prompt(*shared, PromptOpener::AddTitle, nullptr);
    prompt.show();
    QVERIFY(QTest::qWaitForWindowActive(&prompt));
    prompt.cmdCancel->setFocus();
    MessageBox::SetNextAnswer(QMessageBox::Ok);

    prompt.cmdOK->click();

    QCOMPARE(MessageBox::Shown(), QStringList{QStringLiteral("You Must Enter A Name")});
    QCOMPARE(MessageBox::ShownTitles(), QStringList{QStringLiteral("Reelvane")});
    QVERIFY(prompt.isVisible());
    QCOMPARE(QApplication::focusWidget(), prompt.txtRenameResponse);
    QCOMPARE(shared->PromptAccepted, 7);
    QCOMPARE(shared->PromptText, QStringLiteral("before"));
    QVERIFY(!shared->CastRecords);
}

void TestFrmTextBox::nameIsTakenAsTyped_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks only") << QStringLiteral("   ");
    QTest::newRow("apostrophe and quotes") << QStringLiteral("Schindler's \"List\"");
    QTest::newRow("non-ASCII") << QStringLiteral("Amélie — Ça ira");
    QTest::newRow("looks like SQL") << QStringLiteral("x'); DROP TABLE Genre; --");
    QTest::newRow("surrounding blanks") << QStringLiteral(" Alien ");
}

void TestFrmTextBox::nameIsTakenAsTyped()
{
    QFETCH(QString, name);
    TestFolder folder;
    auto shared = folder.MakeShared();
    frmTextBox prompt(*shared, PromptOpener::GenreManager, nullptr);
    prompt.show();
    QVERIFY(QTest::qWaitForWindowActive(&prompt));
    prompt.txtRenameResponse->insert(name);

    // Enter presses the default button.
    QTest::keyClick(prompt.txtRenameResponse, Qt::Key_Return);

    QCOMPARE(prompt.result(), int(QDialog::Accepted));
    QVERIFY(!prompt.isVisible());
    QCOMPARE(shared->PromptAccepted, 1);
    QCOMPARE(shared->PromptText, name);
    QVERIFY(MessageBox::Shown().isEmpty());
}

void TestFrmTextBox::typingStopsAtFiftyFiveCharacters()
{
    TestFolder folder;
    auto shared = folder.MakeShared();
    frmTextBox prompt(*shared, PromptOpener::AddTitle, nullptr);
    QTest::keyClicks(prompt.txtRenameResponse, QString(60, QLatin1Char('a')));
    QCOMPARE(prompt.txtRenameResponse->text(), QString(55, QLatin1Char('a')));
}

void TestFrmTextBox::cancelWays_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("typed");
    QTest::newRow("Cancel button, name typed") << "button" << "Alien";
    QTest::newRow("Escape in the box, name typed") << "escape" << "Alien";
    QTest::newRow("Escape, empty box") << "escape" << "";
    QTest::newRow("window closed") << "close" << "Alien";
}

void TestFrmTextBox::cancelWays()
{
    QFETCH(QString, way);
    QFETCH(QString, typed);
    TestFolder folder;
    auto shared = folder.MakeShared();
    shared->PromptAccepted = 1;
    shared->PromptCancelled = QStringLiteral("False");
    shared->PromptText = QStringLiteral("older");
    frmTextBox prompt(*shared, PromptOpener::GenreManager, nullptr);
    prompt.show();
    QVERIFY(QTest::qWaitForWindowActive(&prompt));
    QTest::keyClicks(prompt.txtRenameResponse, typed);

    if (way == QLatin1String("button"))
        prompt.cmdCancel->click();
    else if (way == QLatin1String("escape"))
        QTest::keyClick(prompt.txtRenameResponse, Qt::Key_Escape);
    else
        prompt.close();

    QVERIFY(!prompt.isVisible());
    QCOMPARE(prompt.result(), int(QDialog::Rejected));
    QCOMPARE(shared->PromptAccepted, 0);
    QCOMPARE(shared->PromptCancelled, QStringLiteral("True"));
    QCOMPARE(shared->PromptText, typed);
}

void TestFrmTextBox::okStartsCastListOnlyForAddTitle_data()
{
    QTest::addColumn<bool>("addTitle");
    QTest::newRow("add title") << true;
    QTest::newRow("genre rename") << false;
}

void TestFrmTextBox::okStartsCastListOnlyForAddTitle()
{
    QFETCH(bool, addTitle);
    TestFolder folder;
    auto shared = folder.MakeShared();
    shared->CreateCastRecords();
    const auto editedCast = shared->CastRecords;
    editedCast->AddNew();
    editedCast->SetValue(QStringLiteral("Actor"), QStringLiteral("Sigourney Weaver"));
    editedCast->Update();
    QWidget mainWindow;
    mainWindow.setEnabled(false);

    frmTextBox prompt(*shared, addTitle ? PromptOpener::AddTitle : PromptOpener::GenreManager,
                      &mainWindow);
    prompt.txtRenameResponse->setText(QStringLiteral("Aliens"));
    prompt.cmdOK->click();

    QCOMPARE(shared->PromptAccepted, 1);
    QVERIFY(shared->CastRecords);
    if (addTitle) {
        QVERIFY(shared->CastRecords != editedCast);
        QCOMPARE(shared->CastRecords->RecordCount(), 0);
        QCOMPARE(shared->CastRecords->FieldNames(),
                 (QStringList{QStringLiteral("Actor"), QStringLiteral("Character")}));
    } else {
        QCOMPARE(shared->CastRecords, editedCast);
        QCOMPARE(editedCast->RecordCount(), 1);
    }
    // The caller goes on: the main window stays disabled after OK either way.
    QVERIFY(!mainWindow.isEnabled());
}

void TestFrmTextBox::cancelEnablesMainWindowOnlyForAddTitle_data()
{
    QTest::addColumn<bool>("addTitle");
    QTest::newRow("add title") << true;
    QTest::newRow("genre rename") << false;
}

void TestFrmTextBox::cancelEnablesMainWindowOnlyForAddTitle()
{
    QFETCH(bool, addTitle);
    TestFolder folder;
    auto shared = folder.MakeShared();
    shared->CreateCastRecords();
    const auto editedCast = shared->CastRecords;
    QWidget mainWindow;
    mainWindow.setEnabled(false);

    frmTextBox prompt(*shared, addTitle ? PromptOpener::AddTitle : PromptOpener::GenreManager,
                      &mainWindow);
    prompt.txtRenameResponse->setText(QStringLiteral("Aliens"));
    prompt.cmdCancel->click();

    QCOMPARE(mainWindow.isEnabled(), addTitle);
    QCOMPARE(shared->CastRecords, editedCast);
}

QTEST_MAIN(TestFrmTextBox)
#include "test_frmTextBox.moc"
