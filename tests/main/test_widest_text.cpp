// The widest text of a column: the same answer as shaping every text, for texts whose
// width their length does not predict and for scripts that shaping changes.
#include "WidestText.h"

#include <QRandomGenerator>
#include <QTest>

class TestWidestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameAsShapingEveryText_data();
    void sameAsShapingEveryText();
    void kernedTextIsNotTakenForTheWidest();
    void reusableAfterPixels();
};

namespace {

QStringList manyTitles(int count)
{
    const QStringList words{"Ocean's", "Eleven", "Amélie", "WALL·E", "It", "Ill", "Mimi",
                            "Wolf", "AVA", "Tomb", "Yo", "Москва", "千と千尋", "Ἀθῆναι",
                            "Don't", "Fête", "of", "the", "Zoë", "iii", "MMM", "W."};
    QRandomGenerator random(7);
    QStringList titles;
    for (int i = 0; i < count; ++i) {
        QStringList title;
        const int length = 1 + int(random.bounded(9));
        for (int w = 0; w < length; ++w)
            title << words.at(int(random.bounded(quint32(words.size()))));
        titles << title.join(QLatin1Char(' '));
    }
    return titles;
}

} // namespace

void TestWidestText::sameAsShapingEveryText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");

    const QStringList narrowButLong{"iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", "WWWWWWWWWWWWWWWWWWW",
                                    "lllllllllllllllllllllllllllllllllllll"};
    const QStringList kerning{"AVAVAVAVAVAVAVAVAVAVAVAV", "To Ty Te Yo Wa LT AV AW PA",
                              "MMMMMMMMMMMMMMMMMMMMMM", "WAVE WAVE WAVE WAVE WAVE"};
    const QStringList combiningMarks{
        QString::fromUtf8("e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"),
        QStringLiteral("Amelie"), QString::fromUtf8("a\u0308o\u0308u\u0308a\u0308o\u0308")};
    const QStringList joiningScript{QString::fromUtf8("السلام عليكم ورحمة الله وبركاته"),
                                    QStringLiteral("Peace be upon you"),
                                    QString::fromUtf8("नमस्ते दुनिया क्षत्रिय")};
    const QStringList surrogates{QString::fromUtf8("🎬🎬🎬🎬🎬🎬 Movie night"),
                                 QStringLiteral("Movie night at home")};

    QTest::newRow("nothing") << QStringList{} << 9 << true;
    QTest::newRow("one text") << QStringList{"Heat"} << 9 << true;
    QTest::newRow("narrow letters, many") << narrowButLong << 9 << true;
    QTest::newRow("kerning pairs") << kerning << 9 << true;
    QTest::newRow("kerning pairs, small font") << kerning << 7 << false;
    QTest::newRow("combining marks") << combiningMarks << 9 << true;
    QTest::newRow("joining scripts") << joiningScript << 9 << true;
    QTest::newRow("surrogate pairs") << surrogates << 9 << false;
    QStringList ascending;
    for (int length = 1; length <= 60; ++length)
        ascending << QString(length, QLatin1Char('n'));
    QTest::newRow("each wider than the last") << ascending << 9 << true;
    QTest::newRow("ligatures") << QStringList{"office affluent baffled", "officer afflicted",
                                              "Offal Waffles Efficiently Staffed",
                                              "Offal Waffles Efficiently Staff"}
                               << 9 << true;
    QStringList repeated;
    for (int i = 0; i < 200; ++i)
        repeated << QStringLiteral("Renée O'Hara") << QStringLiteral("Renee O'Hare")
                 << QStringLiteral("Tom Cruz");
    QTest::newRow("names repeated down a column") << repeated << 7 << false;
    QTest::newRow("many mixed titles") << manyTitles(3000) << 9 << true;
    QTest::newRow("many mixed titles, small font") << manyTitles(3000) << 7 << false;
}

void TestWidestText::sameAsShapingEveryText()
{
    QFETCH(QStringList, texts);
    QFETCH(int, pointSize);
    QFETCH(bool, bold);
    QFont font(QStringLiteral("Verdana"), pointSize);
    font.setBold(bold);
    const QFontMetrics metrics(font);

    int expected = 0;
    WidestText widest(metrics);
    for (const QString &text : std::as_const(texts)) {
        expected = std::max(expected, metrics.horizontalAdvance(text));
        widest.Add(text);
    }
    QCOMPARE(widest.Pixels(), expected);
}

void TestWidestText::kernedTextIsNotTakenForTheWidest()
{
    // "AV" pairs kern tighter than their letters' advances add up to; a plain text whose
    // letters add up to a little less is still the wider one once shaped.
    QFont font(QStringLiteral("Verdana"), 9);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const QFontMetricsF fractional(font);
    const QString kerned = QStringLiteral("AV").repeated(12);
    const qreal kernedLetters = 12 * (fractional.horizontalAdvance(QLatin1Char('A'))
                                      + fractional.horizontalAdvance(QLatin1Char('V')));
    QString plain;
    while (metrics.horizontalAdvance(plain) <= metrics.horizontalAdvance(kerned))
        plain += QLatin1Char('n');
    if (plain.size() * fractional.horizontalAdvance(QLatin1Char('n')) >= kernedLetters)
        QSKIP("the font in use does not kern \"AV\"");

    WidestText widest(metrics);
    widest.Add(kerned);
    widest.Add(plain);
    QCOMPARE(widest.Pixels(), metrics.horizontalAdvance(plain));
}

void TestWidestText::reusableAfterPixels()
{
    const QFontMetrics metrics(QFont(QStringLiteral("Verdana"), 9));
    WidestText widest(metrics);
    widest.Add(QStringLiteral("A title of some length"));
    const int first = widest.Pixels();
    QCOMPARE(first, metrics.horizontalAdvance(QStringLiteral("A title of some length")));
    // A narrower text added later does not lower the answer; a wider one raises it.
    widest.Add(QStringLiteral("Up"));
    QCOMPARE(widest.Pixels(), first);
    widest.Add(QStringLiteral("A title of some considerably greater length"));
    QCOMPARE(widest.Pixels(),
             metrics.horizontalAdvance(QStringLiteral("A title of some considerably greater length")));
}

QTEST_MAIN(TestWidestText)
#include "test_widest_text.moc"
