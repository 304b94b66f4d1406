#pragma once

#include "DQDDataList.h"

#include <QMap>
#include <QString>

namespace ZtUIDataStruct {

// Reads quote files (CSV) into record lists for programs and tests.
//
// File format (QuoteCsvFile.h has the details): a header row naming the
// columns, then one row per bar or minute; UTF-8 or GBK text; fields
// separated by commas, semicolons or tabs. Column names are
// case-insensitive, English or Chinese:
//   date (日期, datetime)  yyyymmdd, yyyymmddHHMM[ss], or yyyy-mm-dd or
//                         yyyy/mm/dd with an optional HH:MM[:SS]
//   time (时间)           the time of day beside a date column (HH:MM,
//                         HHMM, …); alone, the whole date and time
//   open (开盘), high (最高), low (最低), close (收盘), volume (成交量)
//                         required
//   amount (成交额), average (均价)   optional
// Other columns are ignored. Rows must be in strictly increasing time order;
// blank lines are skipped.
//
// Impossible rows are refused: a price of 0 or below or above 1e9, a high
// below the low, an open or close outside low … high, a negative volume or
// amount, a volume or amount above 1e14. One kind of zero is legitimate: a
// row whose four prices are all 0 with no volume and no amount is a period
// without trade (exports write suspended days so) and becomes the normal
// form of one: every price the previous row's close, no volume. Such a row
// before any traded row is refused, as there is no close to keep. An
// average of 0 counts as no average (the fallbacks below apply). Every price
// that reaches the records is therefore positive, which the painters and
// the logarithmic value axis rely on.
//
// Every record gets its time value yyyyMMddHHmmss as key and in 33010, and
// 33030 … 33060 open/high/low/close, 33090 volume, 33100 amount (when the
// file has it), 33020 previous close, 33130 change (close − previous close)
// and 33070 average price.
//
// Errors: a malformed or unreadable file makes the call return false and
// leaves the output untouched; the message names file, line and column, for
// example `data/x.csv:17: column "close": not a number: "abc"`. On success
// the output is replaced by the file's contents.
class ZTLIB_EXPORT QuoteLoader
{
public:
    struct MinuteOptions
    {
        // Keep only the last `days` trading days of the file; 0 or less keeps all.
        int days = 0;
        // Put the 15 call-auction slots 09:15 … 09:29 in front of the first
        // kept day (the band of a single-day chart).
        bool auction = false;
    };

    // Bars (daily or any other period), one record per row.
    // Previous close: the previous row's close; the first row uses its own
    // open. Average: the average column, else amount ÷ volume when the file
    // has an amount and the volume is positive, else the close.
    static bool loadBars(const QString& path, DQDDataList* out, QString* error);

    // Intraday minutes laid out as fixed slots, 241 a day:
    // 09:30 … 11:30 (121 slots) and 13:01 … 15:00 (120 slots), with 15
    // auction slots 09:15 … 09:29 in front of the first kept day when
    // opt.auction is on.
    //
    // Mapping of a row's minute onto the slots:
    // - 09:15 … 09:29 goes to its auction slot when the band is on for that
    //   day, otherwise it folds into 09:30 (a 09:25 auction print opens the
    //   day's first minute);
    // - 09:30 … 11:30 and 13:01 … 15:00 go to their own slot;
    // - 11:31 … 13:00 fold into 11:30 (sources that stamp the afternoon open
    //   13:00 report the lunch-break close);
    // - any other time of day is an error.
    // Rows folding into one slot merge into one bar: first open, highest
    // high, lowest low, last close, summed volume and amount.
    //
    // Slots without a row of their own:
    // - 09:30, when the first row of the day comes later (sources of
    //   one-minute bars start at 09:31): the day's first open, no volume;
    // - between two filled slots of a day (a minute without trades), and at
    //   the end of a day that is not the last: the previous close, no volume;
    // - auction slots before the day's first print: the first open, no volume
    //   (the band belongs to the day, so its keys are the slot times);
    // - after the last row of the file's last day (not traded yet): key −1,
    //   no price fields.
    //
    // Previous close: the close of the previous day in the file (even when
    // `days` drops that day); the file's first day uses its first open.
    // Change: close − previous close. Average: the average column; else
    // cumulative amount ÷ cumulative volume of the day when the file has an
    // amount and the day has volume so far; else the mean of the day's closes
    // so far.
    static bool loadMinutes(const QString& path, DQDDataList* out, const MinuteOptions& opt,
                            QString* error);

    // Free-float shares by change date: columns date, float_shares. Keys are
    // time values (yyyyMMdd000000); a bar takes the last entry at or before
    // its own time.
    static bool loadFloatShares(const QString& path, QMap<qint64, double>* out, QString* error);
};

} // namespace ZtUIDataStruct
