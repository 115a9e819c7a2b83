// Editor step 1: loading from the edit buffer, the year and director checks, the tabs,
// the Inventory / WishList choice, the length limits, Next, Cancel and Escape.
#include "MessageBox.h"
#include "Module1.h"
#include "TestFolder.h"
#include "frmMain.h"
#include "frmModify1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

namespace {

// A program folder, its shared state and a disabled main window, as an add or a modify
// leaves them when step 1 opens.
struct Step1
{
    TestFolder folder;
    std::unique_ptr<Module1> shared = folder.MakeShared();
    frmMain main{*shared};
    std::unique_ptr<frmModify1> window;

    void Fill(const QString &mode)
    {
        shared->EditMode = mode;
        shared->EditTitle = QStringLiteral("Ocean's Eleven");
        shared->EditSubTitle = QStringLiteral("Widescreen Edition");
        shared->EditDate = QStringLiteral("2001");
        shared->EditDirector = QStringLiteral("Steven Soderbergh");
        shared->EditSummary = QStringLiteral("Danny Ocean\nassembles a crew.");
        shared->EditEggs = QStringLiteral("Press left on the menu.");
        shared->EditFeatures = QStringLiteral("Commentary");
        shared->EditWishList = 0;
        shared->GenrePicks = {QStringLiteral("Crime"), QStringLiteral("Comedy"), {}, {}};
        shared->CreateCastRecords();
    }

    void Open()
    {
        main.setEnabled(false);
        window = std::make_unique<frmModify1>(*shared, main, &main);
        window->show();
    }

    // Still open, waiting for the user.
    bool Waiting() const { return window->isVisible(); }
};

} // namespace

class TestStep1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { MessageBox::Reset(); }

    void loadsTheBuffer_data();
    void loadsTheBuffer();
    void checksOnNext_data();
    void checksOnNext();
    void nextStoresAsTyped();
    void enterPressesNext();
    void tabsKeepBothTexts();
    void optionChangesFlagAtOnce();
    void cancelAndEscape_data();
    void cancelAndEscape();
    void lengthLimits_data();
    void lengthLimits();
    void storedLongerValueShownWhole();
    void storedYearCheckedOnNext_data();
    void storedYearCheckedOnNext();
    void modifyingWithEmptiedTitlePasses();
};

void TestStep1::loadsTheBuffer_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("wishList");
    QTest::addColumn<bool>("titleEditable");
    QTest::addColumn<int>("option");

    QTest::newRow("adding, inventory") << "No" << 0 << false << 0;
    QTest::newRow("adding, wish list kept from last edit") << "No" << 1 << false << 1;
    QTest::newRow("modifying, inventory") << "Yes" << 0 << true << 0;
    QTest::newRow("modifying, stored wish list of 5") << "Yes" << 5 << true << 1;
    QTest::newRow("mode empty counts as adding") << "" << 0 << false << 0;
}

void TestStep1::loadsTheBuffer()
{
    QFETCH(QString, mode);
    QFETCH(int, wishList);
    QFETCH(bool, titleEditable);
    QFETCH(int, option);

    Step1 s;
    s.Fill(mode);
    s.shared->EditWishList = wishList;
    s.Open();
    frmModify1 &w = *s.window;

    QCOMPARE(w.windowTitle(), QString("1/3"));
    QCOMPARE(w.txtTitleDisplay->isVisible(), titleEditable);
    QCOMPARE(w.lblTitleDisplay->isVisible(), !titleEditable);
    QCOMPARE(w.txtTitleDisplay->text(), QString("Ocean's Eleven"));
    QCOMPARE(w.lblTitleDisplay->text(), QString("Ocean's Eleven"));
    QCOMPARE(w.txtSubTitle->text(), QString("Widescreen Edition"));
    QCOMPARE(w.txtDate->text(), QString("2001"));
    QCOMPARE(w.txtDirector->text(), QString("Steven Soderbergh"));
    QCOMPARE(w.txtSummary->toPlainText(), QString("Danny Ocean\nassembles a crew."));
    QVERIFY(w.txtSummary->isVisible());
    QVERIFY(!w.txtEggs->isVisible());
    QCOMPARE(w.MultiTabStrip->currentIndex(), 0);
    QCOMPARE(w.MultiTabStrip->tabText(0), QString("Summary"));
    QCOMPARE(w.MultiTabStrip->tabText(1), QString("Easter Eggs"));
    QVERIFY(w.OptionWishListModify[option]->isChecked());
    QCOMPARE(s.shared->EditWishList, option);
    QCOMPARE(w.lblDateExample->text(), QString("(Ex. 1999)"));
    QCOMPARE(w.lblSubTitle2->text(), QString("(Special Edition, Widescreen Edition etc.)"));
}

void TestStep1::checksOnNext_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("director");
    QTest::addColumn<QString>("message");   // empty: Next goes on
    QTest::addColumn<QString>("dateAfter"); // the year box after the message

    const QString required = QStringLiteral("Please Complete All Required Fields");
    const QString format = QStringLiteral("Date must be in the proper format. (Example 1999)");
    QTest::newRow("year empty") << "" << "Someone" << required << "";
    QTest::newRow("director empty") << "1999" << "" << required << "1999";
    QTest::newRow("both empty") << "" << "" << required << "";
    QTest::newRow("bad year, director empty: required first") << "19" << "" << required << "19";
    QTest::newRow("three digits") << "199" << "Someone" << format << "";
    QTest::newRow("letter among digits") << "19a9" << "Someone" << format << "";
    QTest::newRow("blank among digits") << "19 9" << "Someone" << format << "";
    QTest::newRow("four blanks") << "    " << "Someone" << format << "";
    QTest::newRow("minus sign") << "-999" << "Someone" << format << "";
    QTest::newRow("full-width digits") << "\uFF11\uFF19\uFF19\uFF19" << "Someone" << format
                                       << "";
    QTest::newRow("year") << "1999" << "Someone" << "" << "1999";
    QTest::newRow("year 0000") << "0000" << "Someone" << "" << "0000";
    QTest::newRow("director of blanks") << "2020" << "   " << "" << "2020";
}

void TestStep1::checksOnNext()
{
    QFETCH(QString, date);
    QFETCH(QString, director);
    QFETCH(QString, message);
    QFETCH(QString, dateAfter);

    Step1 s;
    s.Fill(QStringLiteral("Yes"));
    s.Open();
    frmModify1 &w = *s.window;
    w.txtTitleDisplay->setText(QStringLiteral("Renamed"));
    w.txtSubTitle->setText(QStringLiteral("Changed edition"));
    w.txtDate->setText(date);
    w.txtDirector->setText(director);

    if (!message.isEmpty())
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);

    // The title is taken whatever the checks say.
    QCOMPARE(s.shared->EditTitle, QString("Renamed"));
    QCOMPARE(w.txtDate->text(), dateAfter);
    if (message.isEmpty()) {
        QVERIFY(MessageBox::Shown().isEmpty());
        QVERIFY(!s.Waiting());
        QCOMPARE(w.result(), int(StepNext));
        QCOMPARE(s.shared->EditDate, date);
        QCOMPARE(s.shared->EditDirector, director);
        QCOMPARE(s.shared->EditSubTitle, QString("Changed edition"));
    } else {
        QCOMPARE(MessageBox::Shown(), QStringList{message});
        QCOMPARE(MessageBox::ShownTitles(), QStringList{"Reelvane"});
        QVERIFY(s.Waiting());
        // Apart from the title, the buffer is as it was.
        QCOMPARE(s.shared->EditDate, QString("2001"));
        QCOMPARE(s.shared->EditDirector, QString("Steven Soderbergh"));
        QCOMPARE(s.shared->EditSubTitle, QString("Widescreen Edition"));
    }
    QVERIFY(!s.main.isEnabled()); // the editor goes on either way
}

void TestStep1::nextStoresAsTyped()
{
    Step1 s;
    s.Fill(QStringLiteral("No"));
    s.Open();
    frmModify1 &w = *s.window;
    const QString sub = QStringLiteral("  Director's Cut; DROP TABLE Genre; -- ");
    const QString director = QStringLiteral(" Bong Joon-ho, 봉준호 \"Quoted\" ");
    const QString summary = QStringLiteral("Line one\n\n  Line 'three'  \n");
    w.txtSubTitle->setText(sub);
    w.txtDirector->setText(director);
    w.txtSummary->setPlainText(summary);
    w.txtDate->setText(QStringLiteral("2019"));
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);

    QCOMPARE(w.result(), int(StepNext));
    QCOMPARE(s.shared->EditTitle, QString("Ocean's Eleven")); // from the hidden box, as typed
    QCOMPARE(s.shared->EditSubTitle, sub);
    QCOMPARE(s.shared->EditDirector, director);
    QCOMPARE(s.shared->EditSummary, summary);
    QCOMPARE(s.shared->EditDate, QString("2019"));
    QCOMPARE(s.shared->EditEggs, QString("Press left on the menu."));
    // Step 2's and 3's parts of the buffer are left to them.
    QCOMPARE(s.shared->EditFeatures, QString("Commentary"));
    QCOMPARE(s.shared->GenrePicks[1], QString("Comedy"));
    QVERIFY(s.shared->CastRecords);
}

void TestStep1::enterPressesNext()
{
    Step1 s;
    s.Fill(QStringLiteral("No"));
    s.Open();
    QVERIFY(s.window->cmdNext->isDefault());
    s.window->txtDirector->setFocus();
    QTest::keyClick(s.window->txtDirector, Qt::Key_Return);
    QCOMPARE(s.window->result(), int(StepNext));
    QVERIFY(!s.Waiting());
}

void TestStep1::tabsKeepBothTexts()
{
    Step1 s;
    s.Fill(QStringLiteral("No"));
    s.Open();
    frmModify1 &w = *s.window;
    QApplication::setActiveWindow(&w);

    QTest::mouseClick(w.MultiTabStrip, Qt::LeftButton, {},
                      w.MultiTabStrip->tabRect(1).center());
    QVERIFY(w.txtEggs->isVisible());
    QVERIFY(!w.txtSummary->isVisible());
    QCOMPARE(w.txtEggs->geometry(), w.txtSummary->geometry());
    QCOMPARE(w.txtEggs->toPlainText(), QString("Press left on the menu."));
    QVERIFY(w.txtEggs->hasFocus());
    w.txtEggs->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.txtEggs, QStringLiteral(" Then up."));

    QTest::mouseClick(w.MultiTabStrip, Qt::LeftButton, {},
                      w.MultiTabStrip->tabRect(0).center());
    QVERIFY(w.txtSummary->isVisible());
    QVERIFY(!w.txtEggs->isVisible());
    QVERIFY(w.txtSummary->hasFocus());
    w.txtSummary->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.txtSummary, QStringLiteral(" Again."));

    QTest::mouseClick(w.cmdNext, Qt::LeftButton);
    QCOMPARE(w.result(), int(StepNext));
    QCOMPARE(s.shared->EditEggs, QString("Press left on the menu. Then up."));
    QCOMPARE(s.shared->EditSummary, QString("Danny Ocean\nassembles a crew. Again."));
}

void TestStep1::optionChangesFlagAtOnce()
{
    Step1 s;
    s.Fill(QStringLiteral("No"));
    s.Open();
    QTest::mouseClick(s.window->OptionWishListModify[1], Qt::LeftButton);
    QCOMPARE(s.shared->EditWishList, 1);
    QTest::mouseClick(s.window->OptionWishListModify[0], Qt::LeftButton);
    QCOMPARE(s.shared->EditWishList, 0);
    QTest::mouseClick(s.window->OptionWishListModify[1], Qt::LeftButton);
    // Kept by Cancel: the next add starts with the last choice.
    s.window->cmdCancel->click();
    QCOMPARE(s.shared->EditWishList, 1);
}

void TestStep1::cancelAndEscape_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Cancel button") << "cancel";
    QTest::newRow("Escape in the year box") << "escape-date";
    QTest::newRow("Escape in the summary") << "escape-summary";
    QTest::newRow("Escape on the tab strip") << "escape-tabs";
}

void TestStep1::cancelAndEscape()
{
    QFETCH(QString, way);

    Step1 s;
    s.Fill(QStringLiteral("Yes"));
    s.main.hide();
    s.Open();
    frmModify1 &w = *s.window;
    QApplication::setActiveWindow(&w);
    w.txtDate->setText(QStringLiteral("1988")); // typed, never stored

    if (way == QLatin1String("cancel")) {
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
    } else if (way == QLatin1String("escape-date")) {
        QTest::keyClick(w.txtDate, Qt::Key_Escape);
    } else if (way == QLatin1String("escape-summary")) {
        QTest::keyClick(w.txtSummary, Qt::Key_Escape);
    } else {
        QTest::keyClick(w.MultiTabStrip, Qt::Key_Escape);
    }

    QVERIFY(!s.Waiting());
    QCOMPARE(w.result(), int(StepCancelled));
    for (const QString *field : {&s.shared->EditSubTitle, &s.shared->EditDate,
                                 &s.shared->EditDirector, &s.shared->EditSummary,
                                 &s.shared->EditEggs, &s.shared->EditFeatures})
        QVERIFY(field->isEmpty());
    for (const QString &pick : s.shared->GenrePicks)
        QVERIFY(pick.isEmpty());
    QVERIFY(!s.shared->CastRecords);
    QCOMPARE(s.shared->EditTitle, QString("Ocean's Eleven"));
    QCOMPARE(s.shared->EditMode, QString("Yes"));
    QVERIFY(s.main.isEnabled());
    QVERIFY(s.main.isVisible());
}

void TestStep1::lengthLimits_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("limit");
    QTest::newRow("title") << "txtTitleDisplay" << 55;
    QTest::newRow("sub title") << "txtSubTitle" << 50;
    QTest::newRow("year") << "txtDate" << 4;
    QTest::newRow("director") << "txtDirector" << 50;
}

void TestStep1::lengthLimits()
{
    QFETCH(QString, box);
    QFETCH(int, limit);

    Step1 s;
    s.Fill(QStringLiteral("Yes"));
    s.Open();
    auto *edit = s.window->findChild<QLineEdit *>(box);
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, QString(limit + 10, QLatin1Char('7')));
    QCOMPARE(edit->text(), QString(limit, QLatin1Char('7')));
}

void TestStep1::storedLongerValueShownWhole()
{
    // A value longer than its box allows (written by something else) is shown and
    // stored whole; only typing is limited.
    Step1 s;
    s.Fill(QStringLiteral("Yes"));
    const QString director(80, QLatin1Char('d'));
    const QString title(70, QLatin1Char('t'));
    s.shared->EditDirector = director;
    s.shared->EditTitle = title;
    s.Open();
    QCOMPARE(s.window->txtDirector->text(), director);
    QTest::keyClicks(s.window->txtDirector, QStringLiteral("more"));
    QCOMPARE(s.window->txtDirector->text(), director);
    QTest::mouseClick(s.window->cmdNext, Qt::LeftButton);
    QCOMPARE(s.window->result(), int(StepNext));
    QCOMPARE(s.shared->EditDirector, director);
    QCOMPARE(s.shared->EditTitle, title);
}

void TestStep1::storedYearCheckedOnNext_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("passes");
    QTest::newRow("five digits") << "19999" << false;
    QTest::newRow("trailing blank") << "1999 " << false;
    QTest::newRow("leading blank") << " 1999" << false;
    QTest::newRow("trailing line break") << "1999\n" << false;
    QTest::newRow("letter") << "19a9" << false;
    QTest::newRow("four digits") << "1999" << true;
}

// A year written by something else reaches the box whole, beyond what typing allows, and
// Next checks it as it checks a typed one.
void TestStep1::storedYearCheckedOnNext()
{
    QFETCH(QString, stored);
    QFETCH(bool, passes);
    Step1 s;
    s.Fill(QStringLiteral("Yes"));
    s.shared->EditDate = stored;
    s.Open();
    if (!passes)
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(s.window->cmdNext, Qt::LeftButton);
    if (passes) {
        QCOMPARE(s.window->result(), int(StepNext));
        QCOMPARE(s.shared->EditDate, stored);
        return;
    }
    QCOMPARE(MessageBox::Shown(),
             QStringList{QStringLiteral("Date must be in the proper format. (Example 1999)")});
    QVERIFY(s.Waiting());
    QCOMPARE(s.window->txtDate->text(), QString());
    QTest::keyClicks(s.window->txtDate, QStringLiteral("200112"));
    QCOMPARE(s.window->txtDate->text(), QStringLiteral("2001"));
}

void TestStep1::modifyingWithEmptiedTitlePasses()
{
    Step1 s;
    s.Fill(QStringLiteral("Yes"));
    s.Open();
    s.window->txtTitleDisplay->clear();
    QTest::mouseClick(s.window->cmdNext, Qt::LeftButton);
    QCOMPARE(s.window->result(), int(StepNext));
    QVERIFY(MessageBox::Shown().isEmpty());
    QCOMPARE(s.shared->EditTitle, QString());
}

QTEST_MAIN(TestStep1)
#include "test_step1.moc"
