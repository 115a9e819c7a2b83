// Editor step 2: which genre boxes are enabled, what their lists offer, the compaction
// of the picks on Next and Back, and the genre manager reaching into the boxes.
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TestFolder.h"
#include "frmGenre.h"
#include "frmModify2.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

using Picks = std::array<QString, 4>;

// One test's catalogue, shared state and a loaded step 2 over a disabled main window.
struct Step2
{
    TestFolder folder;
    std::unique_ptr<Module1> shared = folder.MakeShared();
    QWidget mainWindow;
    std::unique_ptr<frmModify2> window;

    void load(const Picks &picks = {}, const QString &features = {})
    {
        shared->EditTitle = QStringLiteral("Alien's Return");
        shared->GenrePicks = picks;
        shared->EditFeatures = features;
        mainWindow.setEnabled(false);
        window = std::make_unique<frmModify2>(*shared, &mainWindow);
        window->Form_Load();
    }
    QList<bool> enabled() const
    {
        QList<bool> states;
        for (auto *box : window->cmbGenre)
            states << box->isEnabled();
        return states;
    }
    QStringList items(int index) const
    {
        QStringList names;
        for (int row = 0; row < window->cmbGenre[index]->count(); ++row)
            names << window->cmbGenre[index]->itemText(row);
        return names;
    }
    // Opens and closes box index's list, as a click on its arrow does.
    void dropDown(int index)
    {
        window->cmbGenre[index]->showPopup();
        window->cmbGenre[index]->hidePopup();
    }
    QStringList allGenres()
    {
        QStringList names;
        for (const auto &row : folder.Rows(QStringLiteral("SELECT Genre FROM Genre ORDER BY Genre")))
            names << row.first().toString();
        return names;
    }
};

} // namespace

class TestStep2 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void enablingOnLoad_data();
    void enablingOnLoad();
    void dropDownOffersGenresOfNoOtherBox_data();
    void dropDownOffersGenresOfNoOtherBox();
    void typingEnablesNothingOpeningDoes();
    void boxZeroWithNothingToOffer_data();
    void boxZeroWithNothingToOffer();
    void leavingCompactsPicks_data();
    void leavingCompactsPicks();
    void nextRequiresAGenre();
    void genreManagerReachesIntoBoxes();
};

void TestStep2::enablingOnLoad_data()
{
    QTest::addColumn<Picks>("picks");
    QTest::addColumn<QList<bool>>("expected");
    const QString a = QStringLiteral("Drama"), b = QStringLiteral("Comedy"),
                  c = QStringLiteral("War"), d = QStringLiteral("Crime");
    QTest::newRow("none") << Picks{} << QList<bool>{true, false, false, false};
    QTest::newRow("slot 0") << Picks{a, QString(), QString(), QString()} << QList<bool>{true, true, false, false};
    QTest::newRow("all four") << Picks{a, b, c, d} << QList<bool>{true, true, true, true};
    QTest::newRow("slots 0 and 2") << Picks{a, QString(), c, QString()} << QList<bool>{true, true, false, true};
}

void TestStep2::enablingOnLoad()
{
    QFETCH(Picks, picks);
    QFETCH(QList<bool>, expected);
    Step2 s;
    s.load(picks);
    QCOMPARE(s.enabled(), expected);
}

void TestStep2::dropDownOffersGenresOfNoOtherBox_data()
{
    QTest::addColumn<Picks>("picks");
    QTest::addColumn<int>("box");
    QTest::newRow("box 1 between Drama and Comedy")
        << Picks{QStringLiteral("Drama"), QString(), QStringLiteral("Comedy"), QString()} << 1;
    QTest::newRow("box 0 drops its own pick")
        << Picks{QStringLiteral("Drama"), QStringLiteral("War"), QString(), QString()} << 0;
    QTest::newRow("pick typed in another case")
        << Picks{QStringLiteral("DRAMA"), QStringLiteral("x' OR '1'='1"), QString(), QString()}
        << 2;
}

void TestStep2::dropDownOffersGenresOfNoOtherBox()
{
    QFETCH(Picks, picks);
    QFETCH(int, box);
    Step2 s;
    s.folder.AddGenre(QStringLiteral("Director's Cut"));
    s.load(picks);
    QStringList expected = s.allGenres();
    for (int index = 0; index < 4; ++index)
        if (index != box)
            expected.removeIf([&](const QString &genre) {
                return genre.compare(picks[index], Qt::CaseInsensitive) == 0;
            });

    s.dropDown(box);

    QCOMPARE(s.items(box), expected);
    QCOMPARE(s.window->cmbGenre[box]->currentText(), QString());
    QVERIFY(s.window->cmbGenre[box + 1]->isEnabled());
    // Picking from the list puts the name in the box.
    s.window->cmbGenre[box]->setCurrentIndex(2);
    QCOMPARE(s.window->cmbGenre[box]->currentText(), expected[2]);
}

void TestStep2::typingEnablesNothingOpeningDoes()
{
    Step2 s;
    s.load();
    QTest::keyClicks(s.window->cmbGenre[0]->lineEdit(), QStringLiteral("Drama"));
    QVERIFY(!s.window->cmbGenre[1]->isEnabled());

    s.dropDown(0);

    QCOMPARE(s.window->cmbGenre[0]->currentText(), QString());
    QVERIFY(s.window->cmbGenre[1]->isEnabled());
    QVERIFY(!s.window->cmbGenre[2]->isEnabled());
}

void TestStep2::boxZeroWithNothingToOffer_data()
{
    QTest::addColumn<bool>("emptyTable");
    QTest::addColumn<bool>("openManager");
    QTest::newRow("empty table, Cancel") << true << false;
    QTest::newRow("every genre in boxes 1 to 3, Cancel") << false << false;
    QTest::newRow("empty table, OK opens the manager") << true << true;
}

void TestStep2::boxZeroWithNothingToOffer()
{
    QFETCH(bool, emptyTable);
    QFETCH(bool, openManager);
    Step2 s;
    s.folder.Exec(QStringLiteral("DELETE FROM Genre"));
    Picks picks;
    if (!emptyTable) {
        picks = {QString(), QStringLiteral("Drama"), QStringLiteral("Comedy"), QStringLiteral("War")};
        for (int index = 1; index < 4; ++index)
            s.folder.AddGenre(picks[index]);
    }
    s.load(picks);
    MessageBox::SetNextAnswer(openManager ? QMessageBox::Ok : QMessageBox::Cancel);
    ModalWaiter manager(openManager ? 5000 : 300);
    bool editorDisabled = false;
    manager.Expect<frmGenre>([&](frmGenre *window) {
        editorDisabled = !s.window->isEnabled();
        window->txtGenreAdd->setText(QStringLiteral("Noir"));
        window->cmdGenreAdd->click();
        window->cmdFinishGenre->click();
    });

    s.dropDown(0);

    QCOMPARE(MessageBox::Shown(), QStringList{QStringLiteral(
                                      "No Genres Currently Exist, You Must Select One To Proceed.")});
    QCOMPARE(MessageBox::ShownTitles(), QStringList{QStringLiteral("Enter Genre Type")});
    QCOMPARE(manager.Handled(), openManager);
    QVERIFY(s.window->isEnabled());
    QVERIFY(s.window->cmbGenre[1]->isEnabled());
    // The list was queried before the manager ran; the new genre shows on the next opening.
    QCOMPARE(s.items(0), QStringList{});
    if (openManager) {
        QVERIFY(editorDisabled);
        s.dropDown(0);
        QCOMPARE(s.items(0), QStringList{QStringLiteral("Noir")});
    }
}

void TestStep2::leavingCompactsPicks_data()
{
    QTest::addColumn<bool>("next");
    QTest::addColumn<Picks>("boxes");
    QTest::addColumn<Picks>("stored");
    const QString drama = QStringLiteral("Drama"), comedy = QStringLiteral("Comedy"),
                  crime = QStringLiteral("Crime"), war = QStringLiteral("War");
    for (const bool next : {true, false}) {
        const char *way = next ? "Next" : "Back";
        QTest::addRow("%s: Drama, -, Comedy, -", way)
            << next << Picks{drama, QString(), comedy, QString()} << Picks{comedy, drama, QString(), QString()};
        QTest::addRow("%s: equal lengths keep their order", way)
            << next << Picks{QString(), drama, QString(), crime} << Picks{drama, crime, QString(), QString()};
        QTest::addRow("%s: -, -, -, War", way)
            << next << Picks{QString(), QString(), QString(), war} << Picks{war, QString(), QString(), QString()};
    }
}

void TestStep2::leavingCompactsPicks()
{
    QFETCH(bool, next);
    QFETCH(Picks, boxes);
    QFETCH(Picks, stored);
    Step2 s;
    s.load(boxes);
    s.window->txtFeatures->setPlainText(QStringLiteral("  Trailer 'teaser'  "));

    (next ? s.window->cmdNext : s.window->cmdBack)->click();

    QCOMPARE(s.window->result(), int(next ? StepNext : StepBack));
    QCOMPARE(s.shared->GenrePicks, stored);
    QCOMPARE(s.shared->EditFeatures, QStringLiteral("  Trailer 'teaser'  "));
    QVERIFY(MessageBox::Shown().isEmpty());
    QVERIFY(!s.mainWindow.isEnabled());
}

void TestStep2::nextRequiresAGenre()
{
    Step2 s;
    s.load();
    s.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
    s.window->txtFeatures->setPlainText(QStringLiteral("Commentary"));
    MessageBox::SetNextAnswer(QMessageBox::Ok);

    s.window->cmdNext->click();

    QCOMPARE(MessageBox::Shown(), QStringList{QStringLiteral("Please Complete All Required Fields")});
    QVERIFY(s.window->isVisible());
    QCOMPARE(s.shared->EditFeatures, QStringLiteral("Commentary"));
    QCOMPARE(s.shared->GenrePicks, Picks{});

    // The boxes still offer genres afterwards.
    s.dropDown(0);
    QCOMPARE(s.items(0), s.allGenres());
}

void TestStep2::genreManagerReachesIntoBoxes()
{
    Step2 s;
    s.load({QStringLiteral("Comedy"), QStringLiteral("Drama"), QString(), QString()});
    s.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
    // Typed after loading: the manager stores the boxes before it opens.
    s.window->txtFeatures->setPlainText(QStringLiteral("Outtakes"));
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    ModalWaiter manager;
    bool editorDisabled = false;
    manager.Expect<frmGenre>([&](frmGenre *window) {
        editorDisabled = !s.window->isEnabled();
        window->txtGenreAdd->setText(QStringLiteral("Drama"));
        window->cmdGenreRemove->click();
        window->cmdFinishGenre->click();
    });

    s.window->cmdManageGenreTypes->click();

    QVERIFY(manager.Handled());
    QVERIFY(editorDisabled);
    QVERIFY(s.window->isEnabled());
    QVERIFY(s.window->isVisible());
    QCOMPARE(s.folder.GenreId(QStringLiteral("Drama")), 0);
    QCOMPARE(s.window->cmbGenre[0]->currentText(), QStringLiteral("Comedy"));
    QCOMPARE(s.window->cmbGenre[1]->currentText(), QString());
    QCOMPARE(s.shared->GenrePicks[1], QString());
    QCOMPARE(s.shared->EditFeatures, QStringLiteral("Outtakes"));

    s.window->cmdNext->click();
    QCOMPARE(s.window->result(), int(StepNext));
    QCOMPARE(s.shared->GenrePicks, (Picks{QStringLiteral("Comedy"), QString(), QString(), QString()}));
}

QTEST_MAIN(TestStep2)
#include "test_step2.moc"
