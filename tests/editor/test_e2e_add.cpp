// Adding a title from the main window, as a user does it: the name prompt, the warning
// about titles of that name, and the editor's steps, each left in every way there is.
#include "EditorStory.h"
#include "frmAlert.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace {

// Types the name and presses Enter (OK is the prompt's default button).
std::function<void(frmTextBox *)> typeName(const QString &name)
{
    return [name](frmTextBox *prompt) {
        typeText(prompt->txtRenameResponse, name);
        QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
    };
}

// Leaves a window by its Cancel button, or by Escape in the widget that has the focus.
template <typename T>
std::function<void(T *)> leave(bool escape)
{
    return [escape](T *window) {
        if (escape) {
            QWidget *focus = window->focusWidget() ? window->focusWidget() : window;
            QTest::keyClick(focus, Qt::Key_Escape);
        } else {
            QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
        }
    };
}

// Step 1 filled in as a user does, then Next.
void fillStep1(frmModify1 *step)
{
    QTest::keyClicks(step->txtDate, "2001");
    QTest::keyClicks(step->txtDirector, "Jean-Pierre Jeunet");
    QTest::mouseClick(step->cmdNext, Qt::LeftButton);
}

// One genre picked from box 0's list, then Next.
void fillStep2(frmModify2 *step)
{
    QVERIFY(pickFromList(step->cmbGenre[0], "Romance"));
    QTest::mouseClick(step->cmdNext, Qt::LeftButton);
}

} // namespace

class TestE2eAdd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void throughAllSteps_data();
    void throughAllSteps();
    void abandoned_data();
    void abandoned();
    void existingNameWarns_data();
    void existingNameWarns();
    void newNameGoesStraightToStep1();
    void emptyNameRefused();
};

void TestE2eAdd::throughAllSteps_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("warned");
    QTest::newRow("new name") << QString::fromUtf8("Le Fabuleux Destin d'Amélie \"Poulain\"")
                              << false;
    QTest::newRow("existing name, warning accepted") << "Ocean's Eleven" << true;
}

void TestE2eAdd::throughAllSteps()
{
    QFETCH(QString, name);
    QFETCH(bool, warned);

    ProgramFixture p;
    p.folder.AddTitle({.title = "Ocean's Eleven", .date = "1960"});
    p.start();
    const QString summary = QStringLiteral("A shy waitress\nchanges lives in Montmartre.");

    Story story;
    story.then<frmTextBox>(typeName(name));
    if (warned)
        story.then<frmAlert>([](frmAlert *alert) { alert->cmdOk->click(); });
    story
        .then<frmModify1>([&](frmModify1 *step) {
            QCOMPARE(step->lblTitleDisplay->text(), name);
            QTest::keyClicks(step->txtSubTitle, "Collector's Edition");
            QTest::keyClicks(step->txtDate, "2001");
            QTest::keyClicks(step->txtDirector, "Jean-Pierre Jeunet");
            QTest::keyClicks(step->txtSummary, "A shy waitress");
            QTest::keyClick(step->txtSummary, Qt::Key_Return);
            QTest::keyClicks(step->txtSummary, "changes lives in Montmartre.");
            QTest::mouseClick(step->MultiTabStrip, Qt::LeftButton, {},
                              step->MultiTabStrip->tabRect(1).center());
            QTest::keyClicks(step->txtEggs, "Gnome photos");
            QTest::mouseClick(step->OptionWishListModify[0], Qt::LeftButton);
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            // The main window is disabled: being activated must not end the edit.
            p.activateMain();
            QCOMPARE(p.shared().EditMode, QString("No"));
            QCOMPARE(step->lblTitleDisplay->text(), name);
            QVERIFY(pickFromList(step->cmbGenre[0], "Comedy"));
            QVERIFY(pickFromList(step->cmbGenre[1], "Romance"));
            QTest::keyClicks(step->txtFeatures, "Commentary; trailer");
            QTest::mouseClick(step->cmdBack, Qt::LeftButton);
        })
        .then<frmModify1>([&](frmModify1 *step) {
            // Back shows what Next stored.
            QCOMPARE(step->txtDate->text(), QString("2001"));
            QCOMPARE(step->txtDirector->text(), QString("Jean-Pierre Jeunet"));
            QCOMPARE(step->txtSummary->toPlainText(), summary);
            QCOMPARE(step->txtEggs->toPlainText(), QString("Gnome photos"));
            QTest::keyClick(step->txtDirector, Qt::Key_Return);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            // Compacted by length: Romance before Comedy.
            QCOMPARE(step->cmbGenre[0]->currentText(), QString("Romance"));
            QCOMPARE(step->cmbGenre[1]->currentText(), QString("Comedy"));
            QCOMPARE(step->txtFeatures->toPlainText(), QString("Commentary; trailer"));
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            p.activateMain();
            QCOMPARE(p.shared().EditMode, QString("No"));
            QTest::keyClicks(step->txtActor1, "Audrey Tautou");
            typeText(step->txtCharacter1, QString::fromUtf8("Amélie Poulain"));
            QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
            QTest::keyClicks(step->txtActor1, "Mathieu Kassovitz");
            QTest::keyClicks(step->txtCharacter1, "Nino Quincampoix");
            QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
            QTest::mouseClick(step->cmdFinish, Qt::LeftButton);
        });
    story.play([&] { p.clickToolbar(1); });
    QVERIFY(story.complete());

    const auto rows = p.folder.Rows(
        "SELECT ID, Sub_Title, Date, Director, Summary, Features, Eggs, WishList FROM DVD_Title "
        "WHERE Title = ? AND Date = '2001'",
        {name});
    QCOMPARE(rows.size(), 1);
    const qint64 id = rows[0][0].toLongLong();
    QCOMPARE(rows[0].mid(1), QVariantList({"Collector's Edition", "2001", "Jean-Pierre Jeunet",
                                           summary, "Commentary; trailer", "Gnome photos", 0}));
    QCOMPARE(p.folder.Rows("SELECT Genre.Genre FROM Genre_Relationships INNER JOIN Genre ON "
                           "Genre.Genre_ID = Genre_Relationships.Genre_ID WHERE Title_ID = ? "
                           "ORDER BY Genre.Genre",
                           {id}),
             QVector<QVariantList>({{"Comedy"}, {"Romance"}}));
    QCOMPARE(p.folder.Rows("SELECT Actor, Character FROM Cast_Relationships WHERE Movie = ? "
                           "ORDER BY Actor",
                           {id}),
             QVector<QVariantList>({{"Audrey Tautou", QString::fromUtf8("Amélie Poulain")},
                                    {"Mathieu Kassovitz", "Nino Quincampoix"}}));
    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 2);

    // The list was reloaded, its first title active; the editor left nothing behind.
    QCOMPARE(p.main().lblRecordSelected->text(), QString("1 of 2"));
    QVERIFY(p.main().isEnabled());
    QVERIFY(p.shared().EditDirector.isEmpty());
    QVERIFY(!p.shared().CastRecords);
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
}

void TestE2eAdd::abandoned_data()
{
    QTest::addColumn<int>("window"); // the window left: 1 prompt, 2 warning, 3 step 1, ...
    QTest::addColumn<bool>("escape");
    const char *names[] = {"", "name prompt", "warning", "step 1", "step 2", "step 3"};
    for (int window = 1; window <= 5; ++window) {
        QTest::addRow("%s, Cancel", names[window]) << window << false;
        QTest::addRow("%s, Escape", names[window]) << window << true;
    }
}

void TestE2eAdd::abandoned()
{
    QFETCH(int, window);
    QFETCH(bool, escape);

    ProgramFixture p;
    p.folder.AddTitle({.title = "Ocean's Eleven", .genres = {"Crime"}});
    p.folder.AddTitle({.title = "Alien"});
    p.start();
    p.main().UltraGrid->ActivateRow(1);
    const QByteArray before = p.folder.CatalogueBytes();

    Story story;
    if (window == 1) {
        story.then<frmTextBox>([&](frmTextBox *prompt) {
            QTest::keyClicks(prompt->txtRenameResponse, "Ocean's Eleven");
            leave<frmTextBox>(escape)(prompt);
        });
    } else {
        story.then<frmTextBox>(typeName("Ocean's Eleven"));
        if (window == 2)
            story.then<frmAlert>(leave<frmAlert>(escape));
        else
            story.then<frmAlert>([](frmAlert *alert) { alert->cmdOk->click(); });
        if (window == 3)
            story.then<frmModify1>([&](frmModify1 *step) {
                QCOMPARE(p.shared().EditMode, QString("No"));
                QVERIFY(!p.main().isEnabled());
                QTest::keyClicks(step->txtDate, "2001");
                leave<frmModify1>(escape)(step);
            });
        if (window >= 4)
            story.then<frmModify1>(fillStep1);
        if (window == 4)
            story.then<frmModify2>([&](frmModify2 *step) {
                QVERIFY(pickFromList(step->cmbGenre[0], "Crime"));
                leave<frmModify2>(escape)(step);
            });
        if (window == 5)
            story.then<frmModify2>(fillStep2).then<frmModify3>([&](frmModify3 *step) {
                QTest::keyClicks(step->txtActor1, "Audrey Tautou");
                typeText(step->txtCharacter1, QString::fromUtf8("Amélie"));
                QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
                QCOMPARE(p.shared().CastRecords->RecordCount(), 1);
                leave<frmModify3>(escape)(step);
            });
    }
    story.play([&] { p.clickToolbar(1); });

    QVERIFY(story.complete());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(p.folder.CatalogueBytes(), before);
    QVERIFY(p.main().isEnabled());
    QVERIFY(p.main().isVisible());
    QCOMPARE(p.shared().PromptAccepted, window >= 3 ? 1 : 0);
    if (window == 1)
        QVERIFY(p.shared().LookupValue.isEmpty()); // no search
    QVERIFY(!p.shared().CastRecords);
    QVERIFY(p.shared().EditDate.isEmpty());
    if (window > 1)
        QCOMPARE(p.shared().EditTitle, QString("Ocean's Eleven"));
    // Nothing was reloaded: the active row is where the user left it.
    QCOMPARE(p.main().lblRecordSelected->text(), QString("2 of 2"));
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
    QVERIFY(MessageBox::Shown().isEmpty());
}

void TestE2eAdd::existingNameWarns_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("same name") << "Ocean's Eleven";
    QTest::newRow("other letter case") << "OCEAN'S eleven";
}

void TestE2eAdd::existingNameWarns()
{
    QFETCH(QString, typed);

    ProgramFixture p;
    p.folder.AddTitle({.title = "Ocean's Eleven", .subTitle = "Widescreen", .date = "2001",
                       .director = "Steven Soderbergh"});
    p.folder.AddTitle({.title = "Ocean's Twelve"});
    p.start();

    Story story;
    story.then<frmTextBox>(typeName(typed))
        .then<frmAlert>([&](frmAlert *alert) {
            QCOMPARE(alert->lblInfo->text(),
                     QString("The following similar title(s) currently exist.  Do you want to "
                             "continue adding this new title?"));
            QCOMPARE(alert->UltraGrid->model()->rowCount(), 1);
            QCOMPARE(alert->UltraGrid->CellValue(0, 0).toString(), QString("Ocean's Eleven"));
            QCOMPARE(alert->UltraGrid->CellValue(0, 1).toString(), QString("Widescreen"));
            QTest::mouseClick(alert->cmdOk, Qt::LeftButton);
        })
        .then<frmModify1>([&](frmModify1 *step) {
            // The name as typed, with its one apostrophe, as a label.
            QVERIFY(step->lblTitleDisplay->isVisible());
            QVERIFY(!step->txtTitleDisplay->isVisible());
            QCOMPARE(step->lblTitleDisplay->text(), typed);
            step->cmdCancel->click();
        });
    story.play([&] { p.main().mnuAdd->trigger(); });

    QVERIFY(story.complete());
    QCOMPARE(p.shared().LookupCount, 1);
    QCOMPARE(p.shared().AlertQuery,
             QString("SELECT Title, Sub_Title, Date, Director FROM Dvd_Title WHERE Title = '")
                 + QString(typed).replace("'", "''") + "' ORDER BY Title;");
}

void TestE2eAdd::newNameGoesStraightToStep1()
{
    ProgramFixture p;
    p.folder.AddTitle({.title = "Ocean's Eleven"});
    p.start();

    Story story;
    story.then<frmTextBox>(typeName("Ocean's Thirteen")).then<frmModify1>([](frmModify1 *step) {
        QCOMPARE(step->lblTitleDisplay->text(), QString("Ocean's Thirteen"));
        step->cmdCancel->click();
    });
    story.play([&] { p.clickToolbar(1); });
    QVERIFY(story.complete());
    QCOMPARE(p.shared().LookupCount, 0);
}

void TestE2eAdd::emptyNameRefused()
{
    ProgramFixture p;
    p.start();
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    Story story;
    story.then<frmTextBox>([](frmTextBox *prompt) {
        QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
        QVERIFY(prompt->isVisible());
        QTest::keyClicks(prompt->txtRenameResponse, "   ");
        QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
    }).then<frmModify1>([](frmModify1 *step) {
        QCOMPARE(step->lblTitleDisplay->text(), QString("   "));
        QTest::keyClick(step, Qt::Key_Escape);
    });
    story.play([&] { p.clickToolbar(1); });
    QVERIFY(story.complete());
    QCOMPARE(MessageBox::Shown(), QStringList{"You Must Enter A Name"});
}

QTEST_MAIN(TestE2eAdd)
#include "test_e2e_add.moc"
