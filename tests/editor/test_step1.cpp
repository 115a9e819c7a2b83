// Editor step 1: what it shows of the edit buffer, the year and director checks on Next,
// the tabs, the list choice and the typing limits. Leaving by Cancel, Escape or the
// desktop is in the end-to-end "abandoned" table.
#include "EditorFixture.h"
#include "MessageBox.h"
#include "StepResult.h"
#include "frmModify1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

namespace {

struct Step1 : EditorFixture
{
    std::unique_ptr<frmModify1> window;

    explicit Step1(const QString &mode, int wishList = 0, const QString &director = {})
    {
        Fill(mode, "Ocean's Eleven", {"Crime", "Comedy"});
        shared->EditWishList = wishList;
        if (!director.isEmpty())
            shared->EditDirector = director;
        window = std::make_unique<frmModify1>(*shared, main, &main);
        window->show();
    }
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
    void tabsKeepBothTexts();
    void optionChangesFlagAtOnce();
    void lengthLimits_data();
    void lengthLimits();
    void storedYearCheckedOnNext_data();
    void storedYearCheckedOnNext();
};

void TestStep1::loadsTheBuffer_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("wishList");
    QTest::addColumn<bool>("titleEditable");
    QTest::addColumn<int>("option");
    QTest::newRow("adding") << "No" << 0 << false << 0;
    QTest::newRow("adding, wish list kept from last edit") << "No" << 1 << false << 1;
    QTest::newRow("modifying, stored wish list of 5") << "Yes" << 5 << true << 1;
    QTest::newRow("mode empty counts as adding") << "" << 0 << false << 0;
}

void TestStep1::loadsTheBuffer()
{
    QFETCH(QString, mode);
    QFETCH(int, wishList);
    QFETCH(bool, titleEditable);
    QFETCH(int, option);
    Step1 s(mode, wishList);
    frmModify1 &w = *s.window;
    QCOMPARE(w.txtTitleDisplay->isVisible(), titleEditable);
    QCOMPARE(w.lblTitleDisplay->isVisible(), !titleEditable);
    QCOMPARE((titleEditable ? w.txtTitleDisplay->text() : w.lblTitleDisplay->text()),
             QString("Ocean's Eleven"));
    QCOMPARE(w.txtSubTitle->text(), QString("Director's Cut"));
    QCOMPARE(w.txtDate->text(), QString("2001"));
    QCOMPARE(w.txtDirector->text(), QString("Ann O'Director"));
    QCOMPARE(w.txtSummary->toPlainText(), QString("A summary."));
    QVERIFY(w.OptionWishListModify[option]->isChecked());
    QCOMPARE(s.shared->EditWishList, option);
}

void TestStep1::checksOnNext_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("director");
    QTest::addColumn<QString>("message");   // empty: Next goes on
    QTest::addColumn<QString>("dateAfter"); // the year box after the message
    const QString required = "Please Complete All Required Fields";
    const QString format = "Date must be in the proper format. (Example 1999)";
    QTest::newRow("year empty") << "" << "Someone" << required << "";
    QTest::newRow("director empty") << "1999" << "" << required << "1999";
    QTest::newRow("bad year, director empty: required first") << "19" << "" << required << "19";
    QTest::newRow("three digits") << "199" << "Someone" << format << "";
    QTest::newRow("letter among digits") << "19a9" << "Someone" << format << "";
    QTest::newRow("blank among digits") << "19 9" << "Someone" << format << "";
    QTest::newRow("minus sign") << "-999" << "Someone" << format << "";
    QTest::newRow("full-width digits") << "\uFF11\uFF19\uFF19\uFF19" << "Someone" << format << "";
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
    Step1 s("Yes");
    frmModify1 &w = *s.window;
    w.txtTitleDisplay->setText("Renamed");
    w.txtSubTitle->setText("Changed edition");
    w.txtDate->setText(date);
    w.txtDirector->setText(director);
    if (!message.isEmpty())
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);

    // The title is taken whatever the checks say; the editor goes on either way.
    QCOMPARE(s.shared->EditTitle, QString("Renamed"));
    QCOMPARE(w.txtDate->text(), dateAfter);
    QVERIFY(!s.main.isEnabled());
    if (message.isEmpty()) {
        QVERIFY(MessageBox::Shown().isEmpty());
        QCOMPARE(w.result(), int(StepNext));
        QCOMPARE(s.shared->EditDate, date);
        QCOMPARE(s.shared->EditDirector, director);
        QCOMPARE(s.shared->EditSubTitle, QString("Changed edition"));
        return;
    }
    QCOMPARE(MessageBox::Shown(), QStringList{message});
    QVERIFY(w.isVisible());
    // Apart from the title, the buffer is as it was.
    QCOMPARE(s.shared->EditDate, QString("2001"));
    QCOMPARE(s.shared->EditSubTitle, QString("Director's Cut"));
}

void TestStep1::nextStoresAsTyped()
{
    // A value longer than its box allows (written by something else) is kept whole;
    // only typing is limited.
    const QString director(80, 'd');
    Step1 s("No", 0, director);
    const QString sub = "  Director's Cut; DROP TABLE Genre; -- ";
    const QString summary = "Line one\n\n  Line 'three'  \n";
    s.window->txtSubTitle->setText(sub);
    s.window->txtSummary->setPlainText(summary);
    QTest::keyClicks(s.window->txtDirector, "more");
    QTest::mouseClick(s.window->cmdNext, Qt::LeftButton);

    QCOMPARE(s.window->result(), int(StepNext));
    QCOMPARE(s.shared->EditTitle, QString("Ocean's Eleven")); // from the hidden box, as typed
    QCOMPARE(s.shared->EditSubTitle, sub);
    QCOMPARE(s.shared->EditDirector, director);
    QCOMPARE(s.shared->EditSummary, summary);
    // Step 2's and 3's parts of the buffer are left to them.
    QCOMPARE(s.shared->EditFeatures, QString("Commentary"));
    QCOMPARE(s.shared->GenrePicks[1], QString("Comedy"));
    QVERIFY(s.shared->CastRecords);
}

void TestStep1::tabsKeepBothTexts()
{
    Step1 s("No");
    frmModify1 &w = *s.window;
    QApplication::setActiveWindow(&w);
    QTest::mouseClick(w.MultiTabStrip, Qt::LeftButton, {}, w.MultiTabStrip->tabRect(1).center());
    QVERIFY(w.txtEggs->isVisible() && !w.txtSummary->isVisible());
    QCOMPARE(w.txtEggs->geometry(), w.txtSummary->geometry());
    QVERIFY(w.txtEggs->hasFocus());
    w.txtEggs->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.txtEggs, " Then up.");
    QTest::mouseClick(w.MultiTabStrip, Qt::LeftButton, {}, w.MultiTabStrip->tabRect(0).center());
    QVERIFY(w.txtSummary->isVisible() && !w.txtEggs->isVisible());
    w.txtSummary->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.txtSummary, " Again.");

    QTest::mouseClick(w.cmdNext, Qt::LeftButton);
    QCOMPARE(s.shared->EditEggs, QString("Hidden menu Then up."));
    QCOMPARE(s.shared->EditSummary, QString("A summary. Again."));
}

void TestStep1::optionChangesFlagAtOnce()
{
    Step1 s("No");
    QTest::mouseClick(s.window->OptionWishListModify[1], Qt::LeftButton);
    QCOMPARE(s.shared->EditWishList, 1);
    QTest::mouseClick(s.window->OptionWishListModify[0], Qt::LeftButton);
    QCOMPARE(s.shared->EditWishList, 0);
    QTest::mouseClick(s.window->OptionWishListModify[1], Qt::LeftButton);
    // Kept by Cancel: the next add starts with the last choice.
    s.window->cmdCancel->click();
    QCOMPARE(s.shared->EditWishList, 1);
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
    Step1 s("Yes");
    auto *edit = s.window->findChild<QLineEdit *>(box);
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, QString(limit + 10, '7'));
    QCOMPARE(edit->text(), QString(limit, '7'));
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
    EditorFixture f;
    f.Fill("Yes", "Ocean's Eleven", {"Crime"});
    f.shared->EditDate = stored;
    frmModify1 window(*f.shared, f.main, &f.main);
    window.show();
    if (!passes)
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(window.cmdNext, Qt::LeftButton);
    if (passes) {
        QCOMPARE(window.result(), int(StepNext));
        QCOMPARE(f.shared->EditDate, stored);
        return;
    }
    QCOMPARE(MessageBox::Shown(),
             QStringList{"Date must be in the proper format. (Example 1999)"});
    QVERIFY(window.isVisible());
    QCOMPARE(window.txtDate->text(), QString());
    QTest::keyClicks(window.txtDate, "200112");
    QCOMPARE(window.txtDate->text(), QString("2001"));
}

QTEST_MAIN(TestStep1)
#include "test_step1.moc"
