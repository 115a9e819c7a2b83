#include "ListReport.h"

#include "Connection.h"
#include "RecordList.h"
#include "ReportScope.h"
#include "ReportStatements.h"
#include "WindowLook.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImageReader>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <array>
#include <memory>

namespace {

constexpr int kColumns = 5;
const std::array<const char *, kColumns> kCaptions{"Title", "Edition", "Year", "Director",
                                                   "Genres"};
// Shares of the text's width; the year is short, titles are long.
constexpr std::array<qreal, kColumns> kShares{0.30, 0.17, 0.07, 0.21, 0.25};

// Line breaks of any kind become the text engine's own line separator.
QString oneParagraph(QString text)
{
    text.replace(QStringLiteral("\r\n"), QChar(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar(QChar::LineSeparator));
    text.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    return text;
}

struct Cell
{
    std::shared_ptr<QTextLayout> layout;
    QVector<qreal> lineTops; // and the bottom of the last line
};

// Years, genres, directors and editions repeat from row to row: a text is laid out once
// per pass and drawn from that layout wherever it comes again, up to this many texts per
// column (what keeps the memory small).
constexpr qsizetype kKeptLayouts = 512;

// Lays the text out in lines of the width, breaking between words, or anywhere in a word
// longer than the width.
void layOut(Cell &cell, const QString &text, const QFont &font, QPaintDevice &device, qreal width)
{
    cell.lineTops = {0};
    if (text.isEmpty())
        return;
    cell.layout = std::make_shared<QTextLayout>(oneParagraph(text), font, &device);
    QTextOption option(Qt::AlignLeft); // the leading edge: the right one for RTL text
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    cell.layout->setTextOption(option);
    cell.layout->beginLayout();
    qreal y = 0;
    for (QTextLine line = cell.layout->createLine(); line.isValid();
         line = cell.layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
        cell.lineTops.append(y);
    }
    cell.layout->endLayout();
}

Cell laidOut(QHash<QString, Cell> &known, const QString &text, const QFont &font,
             QPaintDevice &device, qreal width)
{
    if (const auto found = known.constFind(text); found != known.constEnd())
        return *found;
    Cell cell;
    layOut(cell, text, font, device, width);
    if (known.size() < kKeptLayouts)
        known.insert(text, cell);
    return cell;
}

} // namespace

struct ListReport::Geometry
{
    qreal width = 0, height = 0, pad = 0, lineHeight = 0, headingHeight = 0, headsTop = 0;
    qreal bodyTop = 0, bodyBottom = 0, coverWidth = 0, coverHeight = 0, coverPixelsPerUnit = 0;
    QFont body, bold, heading;
    std::array<qreal, kColumns> x{}, w{};
};

QVector<ListReport::Row> ListReport::ReadRows(const QString &connectionString,
                                              const ReportScope &scope)
{
    Connection connection;
    connection.Open(connectionString);
    RecordList list;
    list.Open(ReportStatements::ListedTitles(scope.list), connection);
    QHash<qint64, int> rowOf;
    rowOf.reserve(list.RecordCount());
    for (int row = 0; row < list.RecordCount(); ++row)
        rowOf.insert(list.ValueAt(row, 0).toLongLong(), row);
    QVector<Row> rows;
    rows.reserve(scope.ids.size());
    for (const qint64 id : scope.ids) {
        const auto found = rowOf.constFind(id);
        if (found == rowOf.constEnd())
            continue;
        const int row = *found;
        rows.append({id, list.ValueAt(row, 1).toString(), list.ValueAt(row, 2).toString(),
                     list.ValueAt(row, 3).toString().trimmed(), list.ValueAt(row, 4).toString(),
                     list.ValueAt(row, 5).toString()});
    }
    return rows;
}

QString ListReport::Heading(const ReportScope &scope)
{
    return QStringLiteral("Reelvane \u2014 ") + scope.Describe();
}

QString ListReport::DateText(const QDate &date)
{
    return QLocale(QLocale::English, QLocale::UnitedKingdom)
        .toString(date, QStringLiteral("d MMMM yyyy"));
}

ListReport::ListReport(QVector<Row> rows, QString heading, QDate date)
    : m_rows(std::move(rows)), m_heading(std::move(heading)), m_date(date)
{
}

ListReport::Geometry ListReport::geometry(QPagedPaintDevice &device) const
{
    Geometry g;
    const qreal dpi = device.logicalDpiY();
    const auto mm = [dpi](qreal value) { return value * dpi / 25.4; };
    g.width = device.width();
    g.height = device.height();
    g.pad = mm(1.2);
    g.body = WindowLook::Font(8);
    g.bold = WindowLook::Font(8, true);
    g.heading = WindowLook::Font(13, true);
    const QFontMetricsF body(g.body, &device);
    const QFontMetricsF bold(g.bold, &device);
    const QFontMetricsF heading(g.heading, &device);
    g.lineHeight = body.height();
    g.headingHeight = std::min(heading
                                   .boundingRect(QRectF(0, 0, g.width * 0.75, g.height),
                                                 Qt::TextWordWrap | Qt::TextWrapAnywhere, m_heading)
                                   .height(),
                               g.height / 4);
    g.headsTop = g.headingHeight + g.lineHeight + mm(3);
    g.bodyTop = g.headsTop + bold.height() + 2 * g.pad;
    g.bodyBottom = g.height - g.lineHeight - mm(3);

    qreal left = 0;
    if (!m_coversFolder.isEmpty()) {
        g.coverWidth = mm(10);
        g.coverHeight = mm(14);
        // Covers are put in at 150 dots per inch: sharp enough on paper, small in a file.
        g.coverPixelsPerUnit = 150.0 / dpi;
        left = g.coverWidth + 2 * g.pad;
    }
    const qreal textWidth = g.width - left;
    for (int c = 0; c < kColumns; ++c) {
        g.x[c] = left;
        g.w[c] = textWidth * kShares[c];
        left += g.w[c];
    }
    return g;
}

void ListReport::drawPageFrame(QPainter &painter, const Geometry &g, int page, int pages) const
{
    painter.setPen(Qt::black);
    painter.setFont(g.heading);
    painter.drawText(QRectF(0, 0, g.width * 0.75, g.headingHeight),
                     Qt::TextWordWrap | Qt::TextWrapAnywhere, m_heading);
    painter.setFont(g.body);
    painter.drawText(QRectF(0, 0, g.width, g.lineHeight), Qt::AlignRight | Qt::AlignTop,
                     DateText(m_date));
    painter.drawText(QRectF(0, g.headingHeight, g.width, g.lineHeight), Qt::AlignLeft,
                     ReportScope::Titles(m_rows.size()));
    painter.drawText(QRectF(0, g.height - g.lineHeight, g.width, g.lineHeight), Qt::AlignHCenter,
                     QStringLiteral("Page %1 of %2").arg(page).arg(pages));

    painter.setFont(g.bold);
    for (int c = 0; c < kColumns; ++c)
        painter.drawText(
            QRectF(g.x[c] + g.pad, g.headsTop + g.pad, g.w[c] - 2 * g.pad, g.bodyTop - g.headsTop),
            Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(kCaptions[c]));
    painter.drawLine(QPointF(0, g.bodyTop), QPointF(g.width, g.bodyTop));
    painter.setFont(g.body);
}

void ListReport::drawCover(QPainter &painter, const Geometry &g, qint64 id, qreal top) const
{
    // A missing file or one that is not a picture leaves the place empty.
    QImageReader reader(m_coversFolder + QStringLiteral("/%1.jpg").arg(id));
    const QSize size = reader.size();
    if (!size.isValid())
        return;
    const QSizeF box(g.coverWidth, g.coverHeight);
    const QSizeF shown = QSizeF(size).scaled(box, Qt::KeepAspectRatio);
    reader.setScaledSize((shown * g.coverPixelsPerUnit).toSize().expandedTo(QSize(1, 1)));
    const QImage picture = reader.read();
    if (picture.isNull())
        return;
    painter.drawImage(QRectF(QPointF(g.pad + (box.width() - shown.width()) / 2, top), shown),
                      picture);
}

bool ListReport::run(QPagedPaintDevice &device, QPainter *painter, int pageTotal,
                     const Progress &progress, qint64 doneBefore, qint64 total, int *pages)
{
    const Geometry g = geometry(device);
    const bool covers = !m_coversFolder.isEmpty();
    int page = 1;
    qreal y = g.bodyTop;
    if (painter)
        drawPageFrame(*painter, g, page, pageTotal);
    const auto nextPage = [&] {
        ++page;
        y = g.bodyTop;
        if (painter) {
            device.newPage();
            drawPageFrame(*painter, g, page, pageTotal);
        }
    };
    if (m_rows.isEmpty() && painter)
        painter->drawText(QRectF(0, g.bodyTop + g.pad, g.width, g.lineHeight), Qt::AlignLeft,
                          QStringLiteral("No titles"));

    std::array<Cell, kColumns> cells;
    std::array<QHash<QString, Cell>, kColumns> known;
    for (int r = 0; r < m_rows.size(); ++r) {
        const Row &row = m_rows.at(r);
        const std::array<const QString *, kColumns> texts{&row.title, &row.edition, &row.year,
                                                          &row.director, &row.genres};
        for (int c = 0; c < kColumns; ++c)
            cells[c] = laidOut(known[c], *texts[c], g.body, device, g.w[c] - 2 * g.pad);
        std::array<int, kColumns> next{};
        bool coverLeft = covers;

        // The rest of the row on this page, or the row on the next one, or as much of it
        // as fits when it is taller than a page.
        for (;;) {
            const qreal room = g.bodyBottom - y - 2 * g.pad;
            qreal need = coverLeft ? g.coverHeight : 0;
            for (int c = 0; c < kColumns; ++c)
                need = std::max(need, cells[c].lineTops.last() - cells[c].lineTops[next[c]]);
            const bool whole = need <= room;
            if (!whole && y > g.bodyTop && need <= g.bodyBottom - g.bodyTop - 2 * g.pad) {
                nextPage();
                continue;
            }
            qreal used = 0;
            for (int c = 0; c < kColumns; ++c) {
                const QVector<qreal> &tops = cells[c].lineTops;
                int last = next[c];
                while (last + 1 < tops.size() && tops[last + 1] - tops[next[c]] <= room)
                    ++last;
                // A fresh page takes at least one line, whatever its height.
                if (last == next[c] && last + 1 < tops.size() && y == g.bodyTop)
                    ++last;
                if (painter)
                    for (int line = next[c]; line < last; ++line)
                        cells[c].layout->lineAt(line).draw(
                            painter, QPointF(g.x[c] + g.pad, y + g.pad - tops[next[c]]));
                used = std::max(used, tops[last] - tops[next[c]]);
                next[c] = last;
            }
            if (coverLeft && g.coverHeight <= room) {
                if (painter)
                    drawCover(*painter, g, row.id, y + g.pad);
                used = std::max(used, g.coverHeight);
                coverLeft = false;
            }
            bool done = !coverLeft;
            for (int c = 0; c < kColumns; ++c)
                done = done && next[c] == cells[c].lineTops.size() - 1;
            if (done) {
                y += used + 2 * g.pad;
                if (painter) {
                    painter->setPen(QColor(0xc8, 0xc8, 0xc8));
                    painter->drawLine(QPointF(0, y), QPointF(g.width, y));
                    painter->setPen(Qt::black);
                }
                break;
            }
            nextPage();
        }
        for (Cell &cell : cells)
            cell.layout.reset();
        if ((r + 1) % 128 == 0 && progress && !progress(doneBefore + r + 1, total))
            return false;
    }
    *pages = page;
    return !progress || progress(doneBefore + m_rows.size(), total);
}

int ListReport::CountPages(QPagedPaintDevice &device)
{
    int pages = 0;
    run(device, nullptr, 0, {}, 0, 0, &pages);
    return pages;
}

bool ListReport::Paint(QPagedPaintDevice &device, const Progress &progress)
{
    m_painterFailed = false;
    const qint64 total = 2 * qint64(m_rows.size());
    int pages = 0;
    if (!run(device, nullptr, 0, progress, 0, total, &pages))
        return false;
    QPainter painter;
    if (!painter.begin(&device)) {
        m_painterFailed = true;
        return false;
    }
    const bool finished = run(device, &painter, pages, progress, m_rows.size(), total, &pages);
    painter.end();
    return finished;
}

bool ListReport::WritePdf(QIODevice &out, const Progress &progress)
{
    QPdfWriter pdf(&out);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    pdf.setResolution(300);
    pdf.setTitle(m_heading);
    pdf.setCreator(QStringLiteral("Reelvane"));
    return Paint(pdf, progress);
}
