// Adding a title from the main window, as a user does it: the name prompt, the warning
// about titles of that name, and the editor's steps, each left in every way there is.
#include "EditorStory.h"
#include "frmAlert.h"
#include "frmModify1.h"
#include "frmTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Types the name and presses Enter (OK is the prompt's default button).
std::function<void(frmTextBox *)> typeName(const QString &name)
{
    return [name](frmTextBox *prompt) {
        QTest::keyClicks(prompt->txtRenameResponse, name);
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

    void abandoned_data();
    void abandoned();
    void existingNameWarns_data();
    void existingNameWarns();
    void newNameGoesStraightToStep1();
    void emptyNameRefused();
};

void TestE2eAdd::abandoned_data()
{
    QTest::addColumn<int>("window"); // the window left: 1 prompt, 2 warning, 3 step 1, ...
    QTest::addColumn<bool>("escape");
    const char *names[] = {"", "name prompt", "warning", "step 1"};
    for (int window = 1; window <= 3; ++window) {
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
            story.then<frmAlert>([](frmAlert *alert) { alert->cmdOk->click(); })
                .then<frmModify1>([&](frmModify1 *step) {
                    QCOMPARE(p.shared().EditMode, QString("No"));
                    QVERIFY(!p.main().isEnabled());
                    QTest::keyClicks(step->txtDate, "2001");
                    leave<frmModify1>(escape)(step);
                });
    }
    story.play([&] { p.clickToolbar(1); });

    QVERIFY(story.complete());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(p.folder.CatalogueBytes(), before);
    QVERIFY(p.main().isEnabled());
    QVERIFY(p.main().isVisible());
    QCOMPARE(p.shared().PromptAccepted, window == 3 ? 1 : 0);
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
