// The cast paste generator: cutting text, generating rows, marking and counting empty
// cells, and handing the rows to step 3 (or not) however the window closes.
#include "DataGrid.h"
#include "EditorFixture.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "RecordList.h"
#include "frmDelimiter.h"
#include "frmModify3.h"
#include "frmPasteCastData.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <optional>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

namespace {

const QColor kRed(255, 0, 0);

// Step 3 open on a title whose cast list holds two rows, as the generator finds it.
struct Step3 : EditorFixture
{
    std::unique_ptr<frmModify3> step3;

    Step3()
    {
        Fill("No", "Pasted Title", {"Drama"}, {{"Old Actor", "Old Role"}, {"Other", "Part"}});
        step3 = std::make_unique<frmModify3>(*shared, main);
        step3->show();
    }

    Rows Cast() const
    {
        Rows rows;
        for (const auto &row : shared->CastRecords->Rows())
            rows << QStringList{row.value(0).toString(), row.value(1).toString()};
        return rows;
    }
};

const Rows kOldCast{{"Old Actor", "Old Role"}, {"Other", "Part"}};

// Presses Generate on text; the delimiter prompt is answered with Ok and the delimiter,
// or with Cancel when there is none. Returns false when the prompt never showed up.
bool Generate(frmPasteCastData &generator, const QString &text,
              const std::optional<QString> &delimiter, bool *promptUsable = nullptr)
{
    generator.Text1->setPlainText(text);
    ModalWaiter waiter;
    waiter.Expect<frmDelimiter>([&](frmDelimiter *prompt) {
        if (promptUsable)
            *promptUsable = prompt->isEnabled() && !generator.isEnabled();
        if (delimiter) {
            prompt->txtDelimiter->setText(*delimiter);
            prompt->Command1->click();
        } else {
            prompt->cmdCancel->click();
        }
    });
    generator.cmdGEnerate->click();
    return waiter.Handled() && !waiter.Failed();
}

Rows GridRows(const frmPasteCastData &generator)
{
    Rows rows;
    const auto *model = generator.MultiPasteUltraGrid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows << QStringList{model->index(row, 0).data().toString(),
                            model->index(row, 1).data().toString()};
    return rows;
}

QString GenerateMessage(int errors)
{
    return QString::number(errors)
           + " error(s) occured while generating (cells marked in red). Please revise and "
             "generate.";
}

QString FinishRefusal(int errors)
{
    return "Cannot complete due to " + QString::number(errors)
           + " error(s) (cells marked in red). Please revise and generate.";
}

} // namespace

class TestPasteGenerator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void generateRows_data();
    void generateRows();

    void delimiterPrompt_data();
    void delimiterPrompt();
    void emptyCellsMarkedAndCounted();
    void cancelledPromptMarksEveryCharacter();
    void countSurvivesRefusedFinish();
    void finishWithoutRowsEmptiesCastList();
    void beyondSixteenBitLines();
    void openedFromStep3_data();
    void openedFromStep3();
};

void TestPasteGenerator::cleanup()
{
    ModalWaiter::CloseAllModals();
    MessageBox::Reset();
}

void TestPasteGenerator::generateRows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<Rows>("rows");

    const QString longName(80, QLatin1Char('x'));
    QTest::newRow("two values") << "Ann Lee - The Maid" << " - " << Rows{{"Ann Lee", "The Maid"}};
    QTest::newRow("third value dropped")
        << "Ann - Maid - Cook" << " - " << Rows{{"Ann", "Maid"}};
    QTest::newRow("one value") << "Ann Lee" << " - " << Rows{{"Ann Lee", ""}};
    QTest::newRow("spaces around hyphen")
        << "   Ann Lee  -   The Maid  " << "-" << Rows{{"Ann Lee", "The Maid"}};
    QTest::newRow("only spaces trimmed") << "\tAnn -  Maid\t " << "-" << Rows{{"\tAnn", "Maid\t"}};
    QTest::newRow("blank line CR LF")
        << "A - 1\r\n\r\nB - 2" << " - " << Rows{{"A", "1"}, {"B", "2"}};
    QTest::newRow("trailing CR LF")
        << "A - 1\r\nB - 2\r\n" << " - " << Rows{{"A", "1"}, {"B", "2"}};
    QTest::newRow("line of spaces makes a row") << "A - 1\n   \nB - 2" << " - "
                                                << Rows{{"A", "1"}, {"", ""}, {"B", "2"}};
    QTest::newRow("leading delimiter") << " - The Maid" << " - " << Rows{{"", "The Maid"}};
    QTest::newRow("lone CR ends a line") << "A\rB - 1" << " - " << Rows{{"A", ""}, {"B", "1"}};
    QTest::newRow("blank lines of each kind")
        << "A - B\r\r\n\n\rC - D\r" << " - " << Rows{{"A", "B"}, {"C", "D"}};
    QTest::newRow("mixed line ends") << "A - B\rC - D\nE - F\r\nG - H" << " - "
                                     << Rows{{"A", "B"}, {"C", "D"}, {"E", "F"}, {"G", "H"}};
    QTest::newRow("case-sensitive delimiter") << "AXB" << "x" << Rows{{"AXB", ""}};
    QTest::newRow("empty delimiter") << "A - 1\nB" << "" << Rows{{"A - 1", ""}, {"B", ""}};
    QTest::newRow("empty text") << "" << " - " << Rows{};
    QTest::newRow("only line breaks") << "\r\n\n\r\n" << " - " << Rows{};
    QTest::newRow("quotes and SQL kept")
        << "O'Brien - \"Bob\"'); DROP TABLE Genre;--" << " - "
        << Rows{{"O'Brien", "\"Bob\"'); DROP TABLE Genre;--"}};
    QTest::newRow("long values kept whole")
        << longName + " | " + longName << "|" << Rows{{longName, longName}};
}

void TestPasteGenerator::generateRows()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(Rows, rows);

    Rows generated;
    for (const auto &row : frmPasteCastData::GenerateRows(text, delimiter)) {
        QCOMPARE(row.size(), 2);
        QVERIFY(!row.at(0).isNull() && !row.at(1).isNull());
        generated << QStringList{row.at(0).toString(), row.at(1).toString()};
    }
    QCOMPARE(generated, rows);
}

void TestPasteGenerator::delimiterPrompt_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<int>("result");

    QTest::newRow("Enter keeps spaces") << " - " << int(Qt::Key_Return) << " - "
                                        << int(QDialog::Accepted);
    QTest::newRow("Enter on an empty box") << "" << int(Qt::Key_Enter) << ""
                                           << int(QDialog::Accepted);
    QTest::newRow("Escape") << " - " << int(Qt::Key_Escape) << "" << int(QDialog::Rejected);
}

void TestPasteGenerator::delimiterPrompt()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, delimiter);
    QFETCH(int, result);

    TestFolder folder;
    auto shared = folder.MakeShared();
    shared->DelimiterText = QStringLiteral("from before");
    frmDelimiter prompt(*shared);
    QCOMPARE(prompt.windowTitle(), QStringLiteral("Delimiter"));
    QCOMPARE(prompt.lblDialog->text(),
             QStringLiteral("Enter the delimiter text that seperates your two (2) columns of "
                            "data."));
    prompt.show();
    QVERIFY(QTest::qWaitForWindowExposed(&prompt));
    QTest::keyClicks(prompt.txtDelimiter, typed);
    QTest::keyClick(prompt.txtDelimiter, Qt::Key(key));
    QCOMPARE(prompt.result(), result);
    QVERIFY(!prompt.isVisible());
    QCOMPARE(shared->DelimiterText, delimiter);
}

void TestPasteGenerator::emptyCellsMarkedAndCounted()
{
    Step3 s;
    frmPasteCastData generator(*s.shared, *s.step3);
    QVERIFY(!s.step3->isEnabled());
    QVERIFY(generator.isEnabled());
    generator.show();

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    bool promptUsable = false;
    QVERIFY(Generate(generator, "Ann - Maid\r\nSolo\r\n - Butler\r\n", "-", &promptUsable));
    QVERIFY(promptUsable);
    QVERIFY(generator.isEnabled());

    QCOMPARE(GridRows(generator), (Rows{{"Ann", "Maid"}, {"Solo", ""}, {"", "Butler"}}));
    QCOMPARE(generator.PasteErrorCount(), 2);
    const DataGrid &grid = *generator.MultiPasteUltraGrid;
    QCOMPARE(grid.CellBackground(1, 1), kRed);
    QCOMPARE(grid.CellBackground(2, 0), kRed);
    for (const auto &[row, column] : {std::pair{0, 0}, {0, 1}, {1, 0}, {2, 1}})
        QVERIFY(!grid.CellBackground(row, column).isValid());
    QCOMPARE(MessageBox::Shown(), QStringList{GenerateMessage(2)});
    QCOMPARE(MessageBox::ShownTitles(), QStringList{"Reelvane"});

    // A clean Generate starts over: no red cell, no message.
    MessageBox::Reset();
    QVERIFY(Generate(generator, "Ann - Maid\r\nSolo - Singer", "-"));
    QCOMPARE(generator.PasteErrorCount(), 0);
    QVERIFY(MessageBox::Shown().isEmpty());
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            QVERIFY(!grid.CellBackground(row, column).isValid());
    QCOMPARE(s.Cast(), kOldCast);
}

void TestPasteGenerator::cancelledPromptMarksEveryCharacter()
{
    Step3 s;
    frmPasteCastData generator(*s.shared, *s.step3);
    generator.show();
    s.shared->DelimiterText = QStringLiteral(" - ");

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QVERIFY(Generate(generator, "Ann - Maid\nBo - Cook\n\nCy", std::nullopt));
    QCOMPARE(s.shared->DelimiterText, QString());
    QCOMPARE(GridRows(generator), (Rows{{"Ann - Maid", ""}, {"Bo - Cook", ""}, {"Cy", ""}}));
    QCOMPARE(generator.PasteErrorCount(), 3);
    for (int row = 0; row < 3; ++row) {
        QVERIFY(!generator.MultiPasteUltraGrid->CellBackground(row, 0).isValid());
        QCOMPARE(generator.MultiPasteUltraGrid->CellBackground(row, 1), kRed);
    }
    QCOMPARE(MessageBox::Shown(), QStringList{GenerateMessage(3)});
}

void TestPasteGenerator::countSurvivesRefusedFinish()
{
    Step3 s;
    frmPasteCastData generator(*s.shared, *s.step3);
    generator.show();

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QVERIFY(Generate(generator, "Ann\nBo\n", "-"));
    QCOMPARE(generator.PasteErrorCount(), 2);

    // Refused however often it is tried, whatever the text says meanwhile.
    generator.Text1->setPlainText("Ann - Maid");
    for (int attempt = 0; attempt < 2; ++attempt) {
        MessageBox::Reset();
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        generator.cmdFinish->click();
        QCOMPARE(MessageBox::Shown(), QStringList{FinishRefusal(2)});
        QCOMPARE(generator.PasteErrorCount(), 2);
        QVERIFY(generator.isVisible());
        QVERIFY(!s.step3->isEnabled());
    }

    // Clean Generate; a declined confirmation keeps everything open and unchanged.
    QVERIFY(Generate(generator, "Zed Zu - Lead\r\nAnn Ay - Maid\r\n", " - "));
    QCOMPARE(generator.PasteErrorCount(), 0);
    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::Cancel);
    generator.cmdFinish->click();
    QCOMPARE(MessageBox::Shown(), QStringList{"This will overwrite existing cast data."});
    QCOMPARE(MessageBox::ShownTitles(), QStringList{"Confirm Changes"});
    QVERIFY(generator.isVisible());
    QCOMPARE(s.Cast(), kOldCast);

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    generator.cmdFinish->click();
    QVERIFY(!generator.isVisible());
    QCOMPARE(generator.result(), int(QDialog::Accepted));
    QCOMPARE(s.Cast(), (Rows{{"Zed Zu", "Lead"}, {"Ann Ay", "Maid"}}));
    QCOMPARE(s.step3->UltraGrid->model()->rowCount(), 2);
    QCOMPARE(s.step3->UltraGrid->model()->index(0, 0).data().toString(), QString("Zed Zu"));
    QVERIFY(s.step3->cmdDelete->isEnabled());
    QVERIFY(s.step3->isEnabled());
    QVERIFY(s.step3->isVisible());
    QVERIFY(!generator.PasteRecords());
}

void TestPasteGenerator::finishWithoutRowsEmptiesCastList()
{
    Step3 s;
    QVERIFY(s.step3->cmdDelete->isEnabled());
    frmPasteCastData generator(*s.shared, *s.step3);
    generator.show();

    QVERIFY(Generate(generator, "\r\n\r\n", " - "));
    QCOMPARE(generator.PasteErrorCount(), 0);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    generator.cmdFinish->click();
    QCOMPARE(MessageBox::Shown(), QStringList{"This will overwrite existing cast data."});
    QCOMPARE(s.shared->CastRecords->RecordCount(), 0);
    QCOMPARE(s.step3->UltraGrid->model()->rowCount(), 0);
    QVERIFY(!s.step3->cmdDelete->isEnabled());
    QVERIFY(s.step3->isEnabled());
}

void TestPasteGenerator::beyondSixteenBitLines()
{
    Step3 s;
    frmPasteCastData generator(*s.shared, *s.step3);
    const int lines = 33000;
    QString text;
    for (int line = 0; line < lines; ++line)
        text += QStringLiteral("Actor %1\r\n").arg(line);

    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QVERIFY(Generate(generator, text, " - "));
    QCOMPARE(generator.MultiPasteUltraGrid->model()->rowCount(), lines);
    QCOMPARE(generator.PasteErrorCount(), lines);
    QCOMPARE(MessageBox::Shown(), QStringList{GenerateMessage(lines)});
    QCOMPARE(generator.MultiPasteUltraGrid->CellValue(lines - 1, 0).toString(),
             QStringLiteral("Actor %1").arg(lines - 1));
}

void TestPasteGenerator::openedFromStep3_data()
{
    QTest::addColumn<bool>("generateFirst");
    QTest::addColumn<QString>("way");
    QTest::newRow("Finish replaces the cast") << true << "finish";
    QTest::newRow("Escape at once keeps it") << false << "escape";
    QTest::newRow("Escape after Generate keeps it") << true << "escape";
    QTest::newRow("Cancel after Generate keeps it") << true << "cancel";
}

// Step 3 is disabled while the generator is open, and gets the rows only through Finish.
void TestPasteGenerator::openedFromStep3()
{
    QFETCH(bool, generateFirst);
    QFETCH(QString, way);
    Step3 s;
    bool step3Disabled = false;
    bool generatorEnabled = false;
    bool generated = false;
    ModalWaiter waiter;
    waiter.Expect<frmPasteCastData>([&](frmPasteCastData *generator) {
        step3Disabled = !s.step3->isEnabled();
        generatorEnabled = generator->isEnabled();
        if (generateFirst)
            generated = Generate(*generator, "New Lead - Hero\r\nNew Foe - Villain", " - ");
        if (way == "finish") {
            MessageBox::SetNextAnswer(QMessageBox::Ok);
            generator->cmdFinish->click();
        } else if (way == "escape") {
            generator->Text1->setFocus();
            QTest::keyClick(generator->Text1, Qt::Key_Escape);
        } else {
            generator->cmdCancel->click();
        }
    });
    s.step3->cmdMultiPaste->click();

    QVERIFY(waiter.Handled() && !waiter.Failed());
    QVERIFY(step3Disabled);
    QVERIFY(generatorEnabled);
    QCOMPARE(generated, generateFirst);
    QVERIFY(s.step3->isEnabled());
    QVERIFY(s.step3->isVisible());
    const Rows expected =
        way == "finish" ? Rows{{"New Lead", "Hero"}, {"New Foe", "Villain"}} : kOldCast;
    QCOMPARE(s.Cast(), expected);
    QCOMPARE(s.step3->UltraGrid->model()->rowCount(), 2);
    QCOMPARE(s.step3->UltraGrid->CellValue(0, 0).toString(), expected.at(0).at(0));
    QCOMPARE(MessageBox::Shown(), way == "finish"
                                      ? QStringList{"This will overwrite existing cast data."}
                                      : QStringList());
}

QTEST_MAIN(TestPasteGenerator)
#include "test_paste_generator.moc"
