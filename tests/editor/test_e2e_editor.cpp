// Adding and modifying a title from the main window, as a user does it: the name prompt,
// the warning about titles of that name, and the editor's steps, each left in every way
// there is (Cancel, Escape, or closed by the desktop); and what the editor once got wrong:
// keys that must not type, long titles, genre links beyond the four boxes.
#include "ElidedLabel.h"
#include "RecordList.h"
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

// Leaves a window by its Cancel button, by Escape in the widget that has the focus, or as
// the desktop closes it (its title bar's close button, Alt+F4).
template <typename T>
std::function<void(T *)> leave(const QString &way)
{
    return [way](T *window) {
        if (way == "Escape")
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
        else if (way == "Cancel")
            QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
        else
            window->close();
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

QStringList castOf(TestFolder &folder, qint64 id)
{
    QStringList pairs;
    for (const auto &row : folder.Rows("SELECT Actor, Character FROM Cast_Relationships WHERE "
                                       "Movie = ? ORDER BY Actor",
                                       {id}))
        pairs << row[0].toString() + " as " + row[1].toString();
    return pairs;
}

QStringList genreIdsOf(TestFolder &folder, qint64 id)
{
    QStringList ids;
    for (const auto &row : folder.Rows("SELECT Genre_ID FROM Genre_Relationships WHERE "
                                       "Title_ID = ? ORDER BY Genre_ID",
                                       {id}))
        ids << row[0].toString();
    return ids;
}

QString longTitle()
{
    QString text;
    while (text.size() < 300)
        text += QStringLiteral("Émile et les détectives ");
    return text.left(300);
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

    void throughAllSteps_data();
    void throughAllSteps();
    void abandoned_data();
    void abandoned();
    void existingNameWarns_data();
    void existingNameWarns();
    void emptyNameRefused();
    void modifyTitleThatIsNotFirst();
    void altLettersTypeNothing();
    void moreThanFourGenreLinksKept();
    void longTitleElidedInEverySteps();
};

void TestE2eEditor::throughAllSteps_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("warned");
    QTest::newRow("new name") << QString::fromUtf8("Le Fabuleux Destin d'Amélie \"Poulain\"")
                              << false;
    QTest::newRow("existing name, warning accepted") << "Ocean's Eleven" << true;
}

void TestE2eEditor::throughAllSteps()
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

void TestE2eEditor::abandoned_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("window"); // the window left: 1 prompt, 2 warning, 3 step 1, ...
    QTest::addColumn<QString>("way");
    const char *names[] = {"", "name prompt", "warning", "step 1", "step 2", "step 3"};
    for (const char *way : {"Cancel", "Escape", "closed by the desktop"}) {
        for (int window = 1; window <= 5; ++window)
            QTest::addRow("add, %s, %s", names[window], way) << false << window << QString(way);
        for (int window = 3; window <= 5; ++window)
            QTest::addRow("modify, %s, %s", names[window], way) << true << window << QString(way);
    }
}

// Every window changes something, then the last one is left: nothing reaches the
// catalogue, the edit buffer is emptied and the main window is given back unreloaded.
void TestE2eEditor::abandoned()
{
    QFETCH(bool, modify);
    QFETCH(int, window);
    QFETCH(QString, way);

    ProgramFixture p;
    p.folder.AddTitle({.title = "Ocean's Eleven", .genres = {"Crime"}});
    p.folder.AddTitle({.title = "Alien", .genres = {"Horror"}, .cast = {{"Ian Holm", "Ash"}}});
    p.start();
    p.main().UltraGrid->ActivateRow(1);
    const QByteArray before = p.folder.CatalogueBytes();

    Story story;
    if (!modify) {
        story.then<frmTextBox>([&](frmTextBox *prompt) {
            QTest::keyClicks(prompt->txtRenameResponse, "Ocean's Eleven");
            if (window == 1)
                leave<frmTextBox>(way)(prompt);
            else
                QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
        });
        if (window == 2)
            story.then<frmAlert>(leave<frmAlert>(way));
        else if (window > 2)
            story.then<frmAlert>([](frmAlert *alert) { alert->cmdOk->click(); });
    }
    if (window == 3)
        story.then<frmModify1>([&](frmModify1 *step) {
            QVERIFY(!p.main().isEnabled());
            QTest::keyClicks(step->txtDate, "2001");
            leave<frmModify1>(way)(step);
        });
    if (window >= 4)
        story.then<frmModify1>(fillStep1);
    if (window == 4)
        story.then<frmModify2>([&](frmModify2 *step) {
            QVERIFY(pickFromList(step->cmbGenre[modify ? 1 : 0], "Drama"));
            leave<frmModify2>(way)(step);
        });
    if (window == 5)
        story.then<frmModify2>(fillStep2).then<frmModify3>([&](frmModify3 *step) {
            QTest::keyClicks(step->txtActor1, "Audrey Tautou");
            typeText(step->txtCharacter1, QString::fromUtf8("Amélie"));
            QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
            leave<frmModify3>(way)(step);
        });
    story.play([&] { p.clickToolbar(modify ? 2 : 1); });

    QVERIFY(story.complete());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(p.folder.CatalogueBytes(), before);
    QVERIFY(p.main().isEnabled());
    QVERIFY(p.main().isVisible());
    if (!modify)
        QCOMPARE(p.shared().PromptAccepted, window >= 3 ? 1 : 0);
    if (window == 1)
        QVERIFY(p.shared().LookupValue.isEmpty()); // no search
    QVERIFY(!p.shared().CastRecords);
    QVERIFY(p.shared().EditDate.isEmpty() && p.shared().EditDirector.isEmpty());
    QVERIFY(p.shared().GenrePicks[0].isEmpty());
    if (window > 1)
        QCOMPARE(p.shared().EditTitle, QString("Ocean's Eleven"));
    // Nothing was reloaded: the active row is where the user left it.
    QCOMPARE(p.main().lblRecordSelected->text(), QString("2 of 2"));
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
    QVERIFY(MessageBox::Shown().isEmpty());
}

void TestE2eEditor::existingNameWarns_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::newRow("same name") << "Ocean's Eleven" << "Ocean's Eleven";
    QTest::newRow("other letter case") << "Ocean's Eleven" << "OCEAN'S eleven";
    QTest::newRow("accented capitals") << "Émile et les détectives" << "ÉMILE ET LES DÉTECTIVES";
    QTest::newRow("ß as SS") << "Straße" << "STRASSE";
}

void TestE2eEditor::existingNameWarns()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    ProgramFixture p;
    p.folder.AddTitle({.title = stored, .subTitle = "Widescreen", .date = "2001"});
    p.folder.AddTitle({.title = "Ocean's Twelve"});
    p.start();

    Story story;
    story.then<frmTextBox>(typeName(typed))
        .then<frmAlert>([&](frmAlert *alert) {
            QCOMPARE(alert->lblInfo->text(),
                     QString("The following similar title(s) currently exist.  Do you want to "
                             "continue adding this new title?"));
            QCOMPARE(alert->UltraGrid->model()->rowCount(), 1);
            QCOMPARE(alert->UltraGrid->CellValue(0, 0).toString(), stored);
            QCOMPARE(alert->UltraGrid->CellValue(0, 1).toString(), QString("Widescreen"));
            QTest::mouseClick(alert->cmdOk, Qt::LeftButton);
        })
        .then<frmModify1>([&](frmModify1 *step) {
            // The name as typed, with its one apostrophe, as a label.
            QVERIFY(step->lblTitleDisplay->isVisible() && !step->txtTitleDisplay->isVisible());
            QCOMPARE(step->lblTitleDisplay->text(), typed);
            step->cmdCancel->click();
        });
    story.play([&] { p.main().mnuAdd->trigger(); });

    QVERIFY(story.complete());
    QCOMPARE(p.shared().LookupCount, 1);
    QVERIFY(p.shared().AlertQuery.startsWith(
        "SELECT Title, Sub_Title, Date, Director FROM Dvd_Title WHERE Title = '"
        + QString(typed).replace("'", "''") + "'"));
}

void TestE2eEditor::emptyNameRefused()
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

// Modify: the active title comes up in the three steps, and Finish saves it over the
// same ID with its links replaced.
void TestE2eEditor::modifyTitleThatIsNotFirst()
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
    QCOMPARE(p.folder.GenreNames(brazil), QStringList({"Comedy", "Drama", "Sci-Fi"}));
    QCOMPARE(castOf(p.folder, brazil),
             QStringList({"Jonathan Pryce as Sam Lowry", "Kim Greist as Jill Layton",
                          "Robert De Niro as Tuttle"}));
    QCOMPARE(p.folder.GenreNames(alien), QStringList{"Horror"});
    // The active row is the first title again.
    QCOMPARE(p.main().lblRecordSelected->text(), QString("1 of 3"));
    QCOMPARE(p.shared().SelectedTitleId, alien);
    QVERIFY(p.main().isEnabled());
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
}

void TestE2eEditor::altLettersTypeNothing()
{
    ProgramFixture p;
    p.folder.AddGenre("Drama");
    p.start();

    QString subTitle;
    QString actor;
    bool deleteEnabled = true;
    Story story;
    story
        .then<frmTextBox>([&](frmTextBox *prompt) {
            QTest::keyClicks(prompt->txtRenameResponse, "Keys");
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Q, Qt::AltModifier);
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
        })
        .then<frmModify1>([&](frmModify1 *step) {
            step->txtSubTitle->setFocus();
            QTest::keyClick(step->txtSubTitle, Qt::Key_B, Qt::AltModifier);
            QTest::keyClick(step->txtSubTitle, Qt::Key_X, Qt::AltModifier);
            subTitle = step->txtSubTitle->text();
            QTest::keyClicks(step->txtDate, "1999");
            QTest::keyClicks(step->txtDirector, "Someone");
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            QVERIFY(pickFromList(step->cmbGenre[0], "Drama"));
            QTest::keyClick(step->cmbGenre[0]->lineEdit(), Qt::Key_Z, Qt::AltModifier);
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            deleteEnabled = step->cmdDelete->isEnabled();
            step->txtActor1->setFocus();
            QTest::keyClick(step->txtActor1, Qt::Key_D, Qt::AltModifier);
            actor = step->txtActor1->text();
            QTest::mouseClick(step->cmdFinish, Qt::LeftButton);
        });
    story.play([&] { p.clickToolbar(1); });

    QVERIFY(story.complete());
    QCOMPARE(subTitle, QString());
    QVERIFY(!deleteEnabled);
    QCOMPARE(actor, QString());
    const auto rows = p.folder.Rows("SELECT Title, Sub_Title FROM DVD_Title");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), QString("Keys"));
    QCOMPARE(rows[0][1].toString(), QString());
    QCOMPARE(p.folder.Scalar("SELECT Genre FROM Genre INNER JOIN Genre_Relationships ON "
                             "Genre.Genre_ID = Genre_Relationships.Genre_ID")
                 .toString(),
             QString("Drama"));
}

void TestE2eEditor::moreThanFourGenreLinksKept()
{
    ProgramFixture p;
    const qint64 id = p.folder.AddTitle(
        {.title = "Many", .genres = {"Action", "Comedy", "Drama", "Horror", "War", "Western"}});
    const QStringList before = genreIdsOf(p.folder, id);
    QCOMPARE(before.size(), 6);
    p.start();

    Story story;
    // The user goes through the steps without touching the genres.
    story.then<frmModify1>([](frmModify1 *step) { step->cmdNext->click(); })
        .then<frmModify2>([](frmModify2 *step) { step->cmdNext->click(); })
        .then<frmModify3>([](frmModify3 *step) { step->cmdFinish->click(); });
    story.play([&] { p.clickToolbar(2); });

    QVERIFY(story.complete());
    QCOMPARE(genreIdsOf(p.folder, id), before);
}

void TestE2eEditor::longTitleElidedInEverySteps()
{
    ProgramFixture p;
    const QString title = longTitle();
    p.folder.AddTitle({.title = title, .genres = {"Drama"}});
    p.start();
    QList<ElidedLabel *> labels;
    const auto check = [&](ElidedLabel *label) {
        QCOMPARE(label->FullText(), title);
        QVERIFY(label->IsElided());
        QVERIFY(!label->text().contains(QLatin1Char('\n')));
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        QCOMPARE(label->toolTip(), title);
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text())
                <= label->contentsRect().width());
        labels << label;
    };
    Story story;
    story
        .then<frmModify1>([&](frmModify1 *step) {
            check(step->lblTitleDisplay);
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            check(step->lblTitleDisplay);
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            check(step->lblTitleDisplay);
            step->cmdCancel->click();
        });
    story.play([&] { p.clickToolbar(2); });
    QVERIFY(story.complete());
    QCOMPARE(labels.size(), 3);
}

QTEST_MAIN(TestE2eEditor)
#include "test_e2e_editor.moc"
