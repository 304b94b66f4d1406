#pragma once

#include "DQDDataList.h"

#include <QMap>
#include <QString>

namespace ZtUIDataStruct {

// Reads event lists (dividends, notices, level events) from CSV for
// programs and tests.
//
// File format: a header row naming the columns, then one row per event,
// fields separated by commas; a field may be enclosed in double quotes (a
// quote inside is doubled) so that texts can hold commas. Column names are
// case-insensitive:
//   type    required: dividend (or 2), level (or 4), notice (or 8)
//   time    required: yyyymmdd, yyyymmddHHMM or yyyymmddHHMMss
//   text1   optional: dividend text, or the notice's first prompt line
//   text2   optional: the notice's second prompt line
//   level   optional column, required for level events: an integer
// Other columns are ignored; blank lines are skipped. A file with only the
// header row holds no events.
//
// Every record gets the time value yyyyMMddHHmmss as key and in 36020 (the
// field intraday charts match every event by), and by type:
//   dividend  34010 time, 34060 text1
//   notice    42020 time, 42040 text1, 42050 text2
//   level     36060 level
//
// Errors: a malformed or unreadable file makes the call return false and
// leaves the output untouched; the message names file, line and column, for
// example `data/x.csv:7: column "type": unknown event type: "split"`.
class ZTLIB_EXPORT EventLoader
{
public:
    enum EventType {
        eEventDividend = 2,
        eEventLevel = 4,
        eEventNotice = 8,
    };

    // On success out holds one list per event type (2, 4 and 8, empty when
    // the file has none of that type), each in file order.
    static bool loadEvents(const QString& path, QMap<int, DQDDataList>* out, QString* error);
};

} // namespace ZtUIDataStruct
