#include "Module1.h"

#include "Connection.h"
#include "Letters.h"
#include "Statements.h"

#include <QDir>

Module1::Module1(QString programFolder) : m_programFolder(std::move(programFolder))
{
    while (m_programFolder.size() > 1 && m_programFolder.endsWith(QLatin1Char('/')))
        m_programFolder.chop(1);
}

void Module1::InitializeDatabasePath()
{
    WishListFilter = 0;
    AppFolder = m_programFolder;
    DatabaseFileName = QStringLiteral("/dvd_collection.mdb");
    ConnectionString = QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Dbq=") + AppFolder
                       + DatabaseFileName + QStringLiteral(";Uid=admin;Pwd=");
}

void Module1::CountMatches()
{
    Connection connection;
    connection.Open(ConnectionString);
    RecordList records;
    const QString typed = LookupValue;
    const QString statement = Statements::CountMatches(LookupTable, LookupField, LookupValue);
    // Callers rely on finding the value quote-doubled afterwards.
    LookupValue = Statements::Quote(LookupValue);
    records.Open(statement, connection);
    LookupCount = records.Value(0).toInt();

    // The rows the catalogue's = missed (other letters than A to Z in another case) are
    // counted here, and every matching spelling is kept for the callers' statements.
    LookupMatches.clear();
    RecordList stored;
    stored.Open(Statements::StoredValues(LookupTable, LookupField), connection);
    const QString folded = Letters::Folded(typed);
    for (int row = 0; row < stored.RecordCount(); ++row) {
        const QStringView value = stored.TextView(row, 0);
        const bool counted = Letters::NocaseEqual(value, typed);
        if (!counted && Letters::Folded(value) != folded)
            continue;
        if (!counted)
            ++LookupCount;
        if (!LookupMatches.contains(value))
            LookupMatches << value.toString();
    }
    if (LookupCount == 0)
        LookupExists = QStringLiteral("False");
}

void Module1::CreateCastRecords()
{
    CastRecords = NewCastList();
}

std::shared_ptr<RecordList> Module1::NewCastList()
{
    auto records = std::make_shared<RecordList>();
    records->AppendField(QStringLiteral("Actor"));
    records->AppendField(QStringLiteral("Character"));
    records->OpenInMemory();
    return records;
}

void Module1::ClearEditBuffer()
{
    EditSubTitle.clear();
    EditDate.clear();
    EditDirector.clear();
    EditSummary.clear();
    EditEggs.clear();
    EditFeatures.clear();
    for (QString &pick : GenrePicks)
        pick.clear();
    KeptGenreIds.clear();
    CastRecords.reset();
}

QString Module1::ReplaceText(const QString &find, const QString &replacement, const QString &text)
{
    if (find.isEmpty() || find.size() > text.size())
        return text;
    QString result;
    result.reserve(text.size() + text.size() / 8);
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype next = text.indexOf(find, i, Qt::CaseSensitive);
        if (next < 0) {
            result += QStringView(text).mid(i);
            break;
        }
        result += QStringView(text).mid(i, next - i);
        result += replacement;
        i = next + find.size();
    }
    return result;
}

TitleFacts Module1::EditFacts() const
{
    return {EditTitle,   EditSubTitle, EditDate, EditDirector,
            EditSummary, EditFeatures, EditEggs, EditWishList};
}

void Module1::SetEditFacts(const TitleFacts &facts)
{
    EditTitle = facts.title;
    EditSubTitle = facts.subTitle;
    EditDate = facts.date;
    EditDirector = facts.director;
    EditSummary = facts.summary;
    EditFeatures = facts.features;
    EditEggs = facts.eggs;
    EditWishList = facts.wishList;
}
