// The titles file's pieces: CSV records read back exactly as written, faults found with
// their line, and the genre and cast cells holding any name.
#include "AwkwardText.h"
#include "Csv.h"
#include "TitleCsv.h"

#include <QTest>

using Cast = QVector<CastMember>;
Q_DECLARE_METATYPE(Cast)

class TestCsv : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsRoundTrip_data();
    void fieldsRoundTrip();
    void reading_data();
    void reading();
    void cellsRoundTrip_data();
    void cellsRoundTrip();
    void typedGenres_data();
    void typedGenres();
};

void TestCsv::fieldsRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    for (const auto &[name, text] : AwkwardTexts())
        QTest::newRow(name) << text;
    QTest::newRow("empty") << QString();
}

void TestCsv::fieldsRoundTrip()
{
    QFETCH(QString, text);
    QByteArray bytes;
    Csv::AppendRecord(bytes, {text, QStringLiteral("x"), text});
    Csv::AppendRecord(bytes, {QStringLiteral("next"), text, QString()});
    QVERIFY(bytes.endsWith("\r\n"));

    Csv::Reader reader(bytes);
    Csv::Record record;
    QVERIFY(reader.Next(record));
    QCOMPARE(record.fault, QString());
    QCOMPARE(record.fields, QStringList({text, QStringLiteral("x"), text}));
    QCOMPARE(record.line, 1);
    QVERIFY(reader.Next(record));
    QCOMPARE(record.fields, QStringList({QStringLiteral("next"), text, QString()}));
    QCOMPARE(record.line, 1 + 2 * int(text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r'))
                                       - text.count(QStringLiteral("\r\n"))) + 1);
    QVERIFY(!reader.Next(record));
}

void TestCsv::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Each record as "line: field|field|..." or "line: fault at field F, line L: why".
    QTest::addColumn<QStringList>("records");

    QTest::newRow("LF line ends, no final line end")
        << QByteArray("a,b\nc,d") << QStringList{"1: a|b", "2: c|d"};
    QTest::newRow("empty lines skipped, counted")
        << QByteArray("a\r\n\r\n\nb\r\n\r\n") << QStringList{"1: a", "4: b"};
    QTest::newRow("the UTF-8 mark is no text")
        << QByteArray("\xEF\xBB\xBFTitle,Year\r\n") << QStringList{"1: Title|Year"};
    QTest::newRow("quoted line breaks move the line count")
        << QByteArray("\"a\nb\r\nc\",x\r\nnext\r\n") << QStringList{"1: a\nb\r\nc|x", "4: next"};
    QTest::newRow("empty fields") << QByteArray(",,\"\"\r\n") << QStringList{"1: ||"};
    QTest::newRow("quote inside an unquoted field")
        << QByteArray("ok\r\nab\"c,d\r\nfine\r\n")
        << QStringList{"1: ok", "2: fault at field 0, line 2: a quote inside a field that is not quoted",
                       "3: fine"};
    QTest::newRow("text after a closing quote")
        << QByteArray("x,\"ab\"c\r\nfine\r\n")
        << QStringList{"1: fault at field 1, line 1: text after a closing quote", "2: fine"};
    QTest::newRow("quote never closed")
        << QByteArray("a\r\nb,\"open\r\nmore\r\n")
        << QStringList{"1: a", "2: fault at field 1, line 2: a quote opened here is never closed"};
    QTest::newRow("not UTF-8")
        << QByteArray("a,caf\xE9\r\nb\r\n")
        << QStringList{"1: fault at field 1, line 1: not valid UTF-8 text", "2: b"};
}

void TestCsv::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    Csv::Reader reader(bytes);
    Csv::Record record;
    QStringList read;
    while (reader.Next(record)) {
        if (record.fault.isEmpty())
            read << QStringLiteral("%1: %2").arg(record.line).arg(record.fields.join(QLatin1Char('|')));
        else
            read << QStringLiteral("%1: fault at field %2, line %3: %4")
                        .arg(record.line)
                        .arg(record.faultField)
                        .arg(record.faultLine)
                        .arg(record.fault);
    }
    QCOMPARE(read, records);
}

void TestCsv::cellsRoundTrip_data()
{
    QTest::addColumn<QStringList>("genres");
    QTest::addColumn<Cast>("cast");
    for (const auto &[name, text] : AwkwardTexts())
        QTest::newRow(name) << QStringList{QStringLiteral("Drama"), text, text + QStringLiteral("; x")}
                            << Cast{{text, QStringLiteral("Himself")}, {QString(), text}, {text, text}};
    QTest::newRow("empty names") << QStringList{QStringLiteral("Crime")}
                                 << Cast{{QString(), QString()}, {QStringLiteral("A"), QString()}};
    QTest::newRow("nothing") << QStringList{} << Cast{};
}

void TestCsv::cellsRoundTrip()
{
    QFETCH(QStringList, genres);
    QFETCH(Cast, cast);
    QCOMPARE(TitleCsv::DecodeGenres(TitleCsv::EncodeGenres(genres)), genres);
    const Cast back = TitleCsv::DecodeCast(TitleCsv::EncodeCast(cast));
    QCOMPARE(back.size(), cast.size());
    for (qsizetype i = 0; i < cast.size(); ++i) {
        QCOMPARE(back[i].actor, cast[i].actor.isNull() ? QString("") : cast[i].actor);
        QCOMPARE(back[i].character, cast[i].character.isNull() ? QString("") : cast[i].character);
    }
}

void TestCsv::typedGenres_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QStringList>("genres");
    QTest::newRow("no blank") << "Drama;Crime" << QStringList{"Drama", "Crime"};
    QTest::newRow("blanks around") << " Drama ;  Crime " << QStringList{"Drama", "Crime"};
    QTest::newRow("empty pieces") << "Drama;;Crime;" << QStringList{"Drama", "Crime"};
    QTest::newRow("escaped semicolon") << "Rom\\;Com; War" << QStringList{"Rom;Com", "War"};
}

void TestCsv::typedGenres()
{
    QFETCH(QString, cell);
    QFETCH(QStringList, genres);
    QCOMPARE(TitleCsv::DecodeGenres(cell), genres);
}

QTEST_GUILESS_MAIN(TestCsv)
#include "test_csv.moc"
