#pragma once

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>

class QIODevice;
class QPagedPaintDevice;
class QPainter;
struct ReportScope;

// The title list as a table on pages: Title, Edition, Year, Director, Genres, optionally a
// small cover per title. Every page has a heading (the list or filter, the date, the
// number of titles) and "Page n of N". Cells are laid out by Qt's text engine (right-to-left
// and CJK text included) and wrapped, never cut: a row taller than a page goes on over the
// next ones. An empty list gives one page saying "No titles".
class ListReport
{
public:
    struct Row
    {
        qint64 id = 0;
        QString title, edition, year, director, genres;
    };
    // Titles done of total; false stops the work (Cancel).
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // The rows of the scope's list, in the scope's order (its IDs). Throws DbError.
    static QVector<Row> ReadRows(const QString &connectionString, const ReportScope &scope);
    // "Reelvane — Inventory", with the filter when there is one.
    static QString Heading(const ReportScope &scope);
    static QString DateText(const QDate &date);

    ListReport(QVector<Row> rows, QString heading, QDate date);
    // The folder of the cover files ("<ID>.jpg"); empty (the default): no covers.
    void SetCoversFolder(const QString &folder) { m_coversFolder = folder; }

    // Lays the pages out, then paints them on the device (a printer or a PDF writer).
    // False when progress answered false, or when painting could not start on the device
    // (PainterFailed).
    bool Paint(QPagedPaintDevice &device, const Progress &progress = {});
    // An A4 PDF with margins of 15 mm, written to `out`.
    bool WritePdf(QIODevice &out, const Progress &progress = {});
    // The layout alone, nothing painted: the number of pages on the device.
    int CountPages(QPagedPaintDevice &device);

    bool PainterFailed() const { return m_painterFailed; }

private:
    struct Geometry;
    Geometry geometry(QPagedPaintDevice &device) const;
    bool run(QPagedPaintDevice &device, QPainter *painter, int pageTotal, const Progress &progress,
             qint64 doneBefore, qint64 total, int *pages);
    void drawPageFrame(QPainter &painter, const Geometry &g, int page, int pages) const;
    void drawCover(QPainter &painter, const Geometry &g, qint64 id, qreal top) const;

    QVector<Row> m_rows;
    QString m_heading;
    QDate m_date;
    QString m_coversFolder;
    bool m_painterFailed = false;
};
