#pragma once

#include "ZtDataMangeGlobal.h"
#include "ZtFeedTable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reader of the feed CSV files. Layout: a header line "date,<columns…>"
// naming exactly the expected value columns in order, then one row per bar:
// the date as yyyymmdd (a daily row) or yyyymmddHHMM (a minute row), then one
// finite number per column. Blank lines are skipped; a UTF-8 byte-order mark
// and CR line ends are accepted. Any other deviation — a missing or extra
// field, a bad number or date, a repeated date — rejects the whole file.
class ZTDATAMANGE_EXPORT ZtFeedCsv
{
public:
    // Reads the file at path. On failure returns false, leaves *table
    // untouched and writes "path:line:column: reason" (line and column
    // 1-based; "path: reason" when the file cannot be read) into *error.
    static bool read(const QString& path, const QStringList& columns, ZtFeedTable* table,
                     QString* error);
    // The same for text already in memory; label names it in messages.
    static bool parse(const QByteArray& text, const QString& label, const QStringList& columns,
                      ZtFeedTable* table, QString* error);

private:
    static bool parseDate(const QByteArray& field, qint64* time, bool* minute);
};
