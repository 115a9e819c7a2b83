// The grid over a record list, the column-fitting rule, and the widest text of a column.
#include "ColumnFit.h"
#include "DataGrid.h"
#include "Twips.h"
#include "WidestText.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>

class TestGridRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gridAdapter();
    void fitWidth_data();
    void fitWidth();
    void widestText_data();
    void widestText();
};

void TestGridRules::gridAdapter()
{
    auto list = std::make_shared<RecordList>();
    list->AppendField("Actor");
    list->AppendField("Character");
    list->OpenInMemory();
    DataGrid grid;
    grid.SetDataSource(list);
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 0; i < 5; ++i) {
        list->AddNew();
        list->SetValue("Actor", QString("Actor %1").arg(i));
    }
    list->Move(2);
    list->Delete();
    QCOMPARE(grid.model()->rowCount(), 4);
    QCOMPARE(grid.CellValue(2, 0).toString(), QString("Actor 3"));

    const QModelIndex cell = grid.model()->index(0, 1);
    QVERIFY(!grid.model()->setData(cell, "Role"));
    grid.SetEditable(true);
    QVERIFY(grid.model()->setData(cell, "Role"));
    grid.SetBeforeCellUpdate([](int, int, const QVariant &value) {
        return !value.toString().isEmpty();
    });
    QVERIFY(!grid.model()->setData(cell, QString()));
    QCOMPARE(list->ValueAt(0, 1).toString(), QString("Role"));
    // A cell's editor takes a value of any length.
    std::unique_ptr<QWidget> editor(grid.itemDelegate()->createEditor(
        grid.viewport(), QStyleOptionViewItem(), grid.model()->index(0, 0)));
    auto *line = qobject_cast<QLineEdit *>(editor.get());
    QVERIFY(line);
    line->setText(QString(40000, QLatin1Char('a')));
    QCOMPARE(line->text().size(), 40000);

    grid.ActivateRow(3);
    QCOMPARE(list->AbsolutePosition(), 4);
    list->SetRows({{"X", QVariant()}});
    QCOMPARE(grid.model()->rowCount(), 1);
}

void TestGridRules::fitWidth_data()
{
    // Margins as the windows use them: title list 0/200, detail cast 400/400, genre
    // manager 400/200.
    QTest::addColumn<int>("captionPixels");
    QTest::addColumn<int>("widestPixels");
    QTest::addColumn<int>("headerMargin");
    QTest::addColumn<int>("valueMargin");
    QTest::addColumn<int>("expected");
    const auto px = [](int pixels) { return Twips::FromPixels(pixels); };
    QTest::newRow("caption wider") << 100 << 50 << 0 << 200 << px(100);
    QTest::newRow("value wider by its margin") << 50 << 50 << 0 << 200 << px(50) + 200;
    QTest::newRow("no text: caption only") << 40 << 0 << 400 << 400 << px(40) + 400;
    QTest::newRow("header margin wins") << 60 << 60 << 400 << 200 << px(60) + 400;
    QTest::newRow("value capped") << 40 << 5000 << 0 << 200 << ColumnFit::MaxTwips;
    QTest::newRow("caption capped") << 5000 << 10 << 400 << 200 << ColumnFit::MaxTwips;
}

void TestGridRules::fitWidth()
{
    QFETCH(int, captionPixels);
    QFETCH(int, widestPixels);
    QFETCH(int, headerMargin);
    QFETCH(int, valueMargin);
    QFETCH(int, expected);
    QCOMPARE(ColumnFit(headerMargin, valueMargin).Width(captionPixels, widestPixels), expected);
}

void TestGridRules::widestText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");

    // "AV" pairs kern tighter than their letters add up to: a plain text a little
    // narrower by its letters is still the wider one once shaped.
    QFont font(QStringLiteral("Verdana"), 9);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const QString kerned = QStringLiteral("AV").repeated(12);
    QString plain;
    while (metrics.horizontalAdvance(plain) <= metrics.horizontalAdvance(kerned))
        plain += QLatin1Char('n');
    QTest::newRow("kerned text beside a plain one") << QStringList{kerned, plain} << 9 << true;
    QTest::newRow("combining marks")
        << QStringList{"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301", "Amelie",
                       "a\u0308o\u0308u\u0308a\u0308o\u0308"}
        << 9 << true;
    QTest::newRow("joining scripts") << QStringList{"السلام عليكم ورحمة الله وبركاته",
                                                    "Peace be upon you", "नमस्ते दुनिया क्षत्रिय"}
                                     << 9 << true;
    QTest::newRow("surrogate pairs") << QStringList{"🎬🎬🎬🎬🎬🎬 Movie night", "Movie night at home"}
                                     << 9 << false;
    QTest::newRow("ligatures") << QStringList{"office affluent baffled", "officer afflicted",
                                              "Offal Waffles Efficiently Staffed"}
                               << 9 << true;
    QStringList ascending;
    for (int length = 1; length <= 60; ++length)
        ascending << QString(length, QLatin1Char('n'));
    QTest::newRow("each wider than the last") << ascending << 9 << true;

    // Scripts the font lacks come from fallback fonts.
    const QStringList words{"Ocean's", "Eleven", "Amélie", "WALL·E", "It", "Ill", "Mimi", "Wolf",
                            "AVA", "Москва", "千と千尋", "Ἀθῆναι", "Don't", "Zoë", "iii", "W."};
    QRandomGenerator random(7);
    QStringList titles;
    for (int i = 0; i < 3000; ++i) {
        QStringList title;
        for (int w = int(random.bounded(1, 10)); w > 0; --w)
            title << words.at(int(random.bounded(quint32(words.size()))));
        titles << title.join(QLatin1Char(' '));
    }
    QTest::newRow("many mixed titles") << titles << 9 << true;
    QTest::newRow("many mixed titles, small font") << titles << 7 << false;
}

// The same answer as shaping every text, also when asked again after more texts.
void TestGridRules::widestText()
{
    QFETCH(QStringList, texts);
    QFETCH(int, pointSize);
    QFETCH(bool, bold);
    QFont font(QStringLiteral("Verdana"), pointSize);
    font.setBold(bold);
    const QFontMetrics metrics(font);
    WidestText widest(metrics);
    int expected = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        expected = std::max(expected, metrics.horizontalAdvance(texts[i]));
        widest.Add(texts[i]);
        if (i == texts.size() / 2)
            QCOMPARE(widest.Pixels(), expected);
    }
    QCOMPARE(widest.Pixels(), expected);
}

QTEST_MAIN(TestGridRules)
#include "test_grid_rules.moc"
