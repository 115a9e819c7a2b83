// The editor as a user drives it: names compared in every script, keys that must not type,
// long titles, stored genre links, and pasted text with old line ends.
#include "EditorStory.h"
#include "ElidedLabel.h"
#include "frmAlert.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmPasteCastData.h"
#include "frmTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

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

class TestE2eEditorFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void similarTitleInAnyCase_data();
    void similarTitleInAnyCase();
    void altLettersTypeNothing();
    void moreThanFourGenreLinksKept();
    void longTitleElidedInEverySteps();
    void pastedLinesEndAtLoneCr_data();
    void pastedLinesEndAtLoneCr();
};

void TestE2eEditorFaults::similarTitleInAnyCase_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::newRow("accented capitals") << "Émile et les détectives" << "ÉMILE ET LES DÉTECTIVES";
    QTest::newRow("ß as SS") << "Straße" << "STRASSE";
}

void TestE2eEditorFaults::similarTitleInAnyCase()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    ProgramFixture p;
    p.folder.AddTitle({.title = stored, .director = "Someone"});
    p.folder.AddTitle({.title = "Unrelated"});
    p.start();

    QStringList listed;
    Story story;
    story
        .then<frmTextBox>([&](frmTextBox *prompt) {
            typeText(prompt->txtRenameResponse, typed);
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
        })
        .then<frmAlert>([&](frmAlert *alert) {
            for (int row = 0; row < alert->UltraGrid->model()->rowCount(); ++row)
                listed << alert->UltraGrid->CellValue(row, 0).toString();
            alert->cmdCancel->click();
        });
    story.play([&] { p.clickToolbar(1); });

    QVERIFY(story.complete());
    QCOMPARE(listed, QStringList{stored});
    QVERIFY(p.main().isEnabled());
}

void TestE2eEditorFaults::altLettersTypeNothing()
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

void TestE2eEditorFaults::moreThanFourGenreLinksKept()
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

void TestE2eEditorFaults::longTitleElidedInEverySteps()
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
            // Fixed-size dialogs offer only the close button.
            const Qt::WindowFlags flags = step->windowFlags();
            QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
            QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
            QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
            QCOMPARE(step->minimumSize(), step->maximumSize());
            step->cmdCancel->click();
        });
    story.play([&] { p.clickToolbar(2); });
    QVERIFY(story.complete());
    QCOMPARE(labels.size(), 3);
}

void TestE2eEditorFaults::pastedLinesEndAtLoneCr_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("actors");
    QTest::newRow("lone CR") << "A - B\rC - D" << QStringList{"A", "C"};
    QTest::newRow("CR LF") << "A - B\r\nC - D\r\n" << QStringList{"A", "C"};
    QTest::newRow("LF") << "A - B\nC - D" << QStringList{"A", "C"};
    QTest::newRow("blank lines of each kind") << "A - B\r\r\n\n\rC - D\r" << QStringList{"A", "C"};
    QTest::newRow("mixed") << "A - B\rC - D\nE - F\r\nG - H" << QStringList{"A", "C", "E", "G"};
}

void TestE2eEditorFaults::pastedLinesEndAtLoneCr()
{
    QFETCH(QString, text);
    QFETCH(QStringList, actors);
    QStringList generated;
    for (const RecordList::Row &row : frmPasteCastData::GenerateRows(text, " - "))
        generated << row.at(0).toString();
    QCOMPARE(generated, actors);
}

QTEST_MAIN(TestE2eEditorFaults)
#include "test_e2e_editor_faults.moc"
