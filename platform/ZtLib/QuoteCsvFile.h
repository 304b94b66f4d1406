#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace ZtUIDataStruct {

// One data row of a quote file: its line number and its fields.
struct QuoteCsvRow
{
    int line = 0;
    QStringList fields;
};

// A table of quotes as people have them: a header row naming the columns,
// then one row per record.
//
// - Text: UTF-8 (with or without a byte-order mark) or GBK (QuoteTextDecoder).
// - Separator: comma, semicolon or tab, whichever the header row uses most.
//   With semicolons or tabs a number may carry a decimal comma (10,51).
//   Fields are trimmed; one pair of double quotes around a field is dropped.
// - Column names: case-insensitive, English or Chinese (columnHelp lists
//   them); other columns are ignored.
// - A title line of a client export before the header, and a note of a
//   single field after the last row, are skipped.
// - Dates: yyyymmdd, yyyymmddHHMM, yyyymmddHHMMss, or yyyy-mm-dd (also / or
//   . between the parts) with an optional time HH:MM or HH:MM:SS after a
//   space or a T. A separate time column (HH:MM[:SS], HHMM, HHMMSS) adds the
//   time of day to a date column; a time column alone is read as the date.
//
// Every failure writes one message naming the file, the line and, for field
// errors, the column as the header spells it.
class QuoteCsvFile
{
public:
    QuoteCsvFile(const QString& path, QString* error) : m_path(path), m_error(error) {}

    // Reads the file; required and optional are canonical column names
    // ("date", "open", …, "float_shares").
    bool read(const QStringList& required, const QStringList& optional);
    bool has(const QString& column) const { return m_columns.contains(column); }
    // The column of the row's date ("date", or "time" when that is the only
    // one), and the column of its time of day.
    const QString& dateColumn() const { return m_dateColumn; }
    QString timeColumn() const { return has(QStringLiteral("time")) ? QStringLiteral("time") : m_dateColumn; }
    const QVector<QuoteCsvRow>& rows() const { return m_rows; }

    bool number(const QuoteCsvRow& row, const QString& column, double* value) const;
    // The row's time value yyyyMMddHHmmss from its date (and time) column;
    // hasTime tells whether the row gave a time of day.
    bool dateTime(const QuoteCsvRow& row, qint64* value, bool* hasTime = nullptr) const;
    bool failField(const QuoteCsvRow& row, const QString& column, const QString& what) const;
    QString text(const QuoteCsvRow& row, const QString& column) const
    {
        return row.fields.at(m_columns.value(column));
    }
    bool fail(int line, const QString& message) const;

    // "date/日期, open/开盘, …" for the columns given, for error texts.
    static QString columnHelp(const QStringList& columns);

private:
    bool readHeader(const QStringList& lines, const QStringList& required,
                    const QStringList& optional, int* headerIndex);
    QStringList split(const QString& line) const;
    bool timeOfDay(const QuoteCsvRow& row, qint64* hhmmss) const;

    QString m_path;
    QString* m_error;
    QChar m_separator = QLatin1Char(',');
    QHash<QString, int> m_columns;      // canonical name → position
    QHash<QString, QString> m_spelling; // canonical name → header text
    QString m_dateColumn;               // "date", or "time" when that is the only one
    int m_width = 0;
    QVector<QuoteCsvRow> m_rows;
};

} // namespace ZtUIDataStruct
