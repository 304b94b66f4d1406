#include "QuoteLoader.h"

#include "DQDFieldId.h"
#include "QuoteCsvFile.h"

#include <QVector>

#include <array>
#include <cmath>

namespace ZtUIDataStruct {

namespace {

struct Quote
{
    int line = 0;
    qint64 time = 0;
    double open = 0, high = 0, low = 0, close = 0, volume = 0, amount = 0, average = 0;
    bool hasTime = false;    // the row gave a time of day
    bool hasAverage = false; // the row gave an average price
};

const QString kOpen = QStringLiteral("open");
const QString kHigh = QStringLiteral("high");
const QString kLow = QStringLiteral("low");
const QString kClose = QStringLiteral("close");
const QString kVolume = QStringLiteral("volume");
const QString kAmount = QStringLiteral("amount");
const QString kAverage = QStringLiteral("average");

const QStringList kQuoteRequired = {QStringLiteral("date"), kOpen, kHigh, kLow, kClose, kVolume};
const QStringList kQuoteOptional = {kAmount, kAverage};

// Far above any traded price, far below what breaks a float; quantities
// stay clear of the no-value marker (about 1e15) of the series.
constexpr double kMaxPrice = 1e9;
constexpr double kMaxQuantity = 1e14;

// Refuses what no market prints; turns a row of zero prices into the day
// without trade it stands for.
bool checkQuote(const QuoteCsvFile& csv, const QuoteCsvRow& row, Quote* q, const Quote* previous)
{
    for (const auto& c : {qMakePair(kVolume, q->volume), qMakePair(kAmount, q->amount)}) {
        if (c.second < 0)
            return csv.failField(row, c.first, QStringLiteral("negative"));
        if (c.second > kMaxQuantity)
            return csv.failField(row, c.first, QStringLiteral("above 1e14, not a quantity"));
    }
    if (q->open == 0 && q->high == 0 && q->low == 0 && q->close == 0) {
        if (q->volume != 0 || q->amount != 0)
            return csv.failField(row, kVolume, QStringLiteral("traded while every price is 0"));
        if (!previous)
            return csv.failField(row, kClose, QStringLiteral("every price 0 and no earlier close to keep"));
        q->open = q->high = q->low = q->close = previous->close;
        q->hasAverage = false;
        return true;
    }
    for (const auto& c : {qMakePair(kOpen, q->open), qMakePair(kHigh, q->high), qMakePair(kLow, q->low),
                          qMakePair(kClose, q->close)}) {
        if (c.second <= 0)
            return csv.failField(row, c.first, QStringLiteral("not a positive price"));
        if (c.second > kMaxPrice)
            return csv.failField(row, c.first, QStringLiteral("above 1e9, not a price"));
    }
    if (q->high < q->low)
        return csv.failField(row, kHigh, QStringLiteral("below the low %1").arg(q->low));
    for (const auto& c : {qMakePair(kOpen, q->open), qMakePair(kClose, q->close)})
        if (c.second < q->low || c.second > q->high)
            return csv.failField(row, c.first,
                                 QStringLiteral("outside the low … high %1 … %2").arg(q->low).arg(q->high));
    if (q->hasAverage && (q->average < 0 || q->average > kMaxPrice))
        return csv.failField(row, kAverage, QStringLiteral("not a price"));
    // 0 is what some sources write before the first trade: no average.
    q->hasAverage = q->hasAverage && q->average > 0;
    return true;
}

// Every row as a quote, in strictly increasing time order.
bool readQuotes(const QuoteCsvFile& csv, QVector<Quote>* quotes)
{
    const bool hasAmount = csv.has(kAmount);
    const bool hasAverage = csv.has(kAverage);
    quotes->reserve(csv.rows().size());
    for (const QuoteCsvRow& row : csv.rows()) {
        Quote q;
        q.line = row.line;
        q.hasAverage = hasAverage;
        if (!csv.dateTime(row, &q.time, &q.hasTime) || !csv.number(row, kOpen, &q.open)
            || !csv.number(row, kHigh, &q.high) || !csv.number(row, kLow, &q.low)
            || !csv.number(row, kClose, &q.close) || !csv.number(row, kVolume, &q.volume)
            || (hasAmount && !csv.number(row, kAmount, &q.amount))
            || (hasAverage && !csv.number(row, kAverage, &q.average))
            || !checkQuote(csv, row, &q, quotes->isEmpty() ? nullptr : &quotes->last()))
            return false;
        // Out-of-order or repeated times would put two records on one slot.
        if (!quotes->isEmpty() && q.time <= quotes->last().time)
            return csv.failField(row, csv.dateColumn(), QStringLiteral("not later than the previous row"));
        quotes->append(q);
    }
    return true;
}

void setPrices(DQDUnionReader* r, qint64 time, const Quote& q, double preClose, double average,
               bool hasAmount)
{
    r->setUniqueValue(time);
    r->setValue(eFieldDateTime, time);
    r->setValue(eFieldPreClose, preClose);
    r->setValue(eFieldOpen, q.open);
    r->setValue(eFieldHigh, q.high);
    r->setValue(eFieldLow, q.low);
    r->setValue(eFieldClose, q.close);
    r->setValue(eFieldAverage, average);
    r->setValue(eFieldVolume, q.volume);
    if (hasAmount)
        r->setValue(eFieldAmount, q.amount);
    r->setValue(eFieldChange, q.close - preClose);
}

// ---- intraday slots --------------------------------------------------------

constexpr int kAuctionSlots = 15; // 09:15 … 09:29
constexpr int kDaySlots = 241;    // 09:30 … 11:30, 13:01 … 15:00
constexpr int kAllSlots = kAuctionSlots + kDaySlots;

// Slot 0 … 255 of a minute of the day (0 … 14 auction, 15 … 255 the
// session), or −1 outside 09:15 … 15:00.
int slotOfMinute(int minute, bool auctionBand)
{
    if (minute >= 9 * 60 + 15 && minute < 9 * 60 + 30)
        return auctionBand ? minute - (9 * 60 + 15) : kAuctionSlots;
    if (minute >= 9 * 60 + 30 && minute <= 11 * 60 + 30)
        return kAuctionSlots + minute - (9 * 60 + 30);
    if (minute > 11 * 60 + 30 && minute <= 13 * 60)
        return kAuctionSlots + 120;
    if (minute > 13 * 60 && minute <= 15 * 60)
        return kAuctionSlots + 121 + minute - (13 * 60 + 1);
    return -1;
}

int minuteOfSlot(int slot)
{
    if (slot < kAuctionSlots)
        return 9 * 60 + 15 + slot;
    const int s = slot - kAuctionSlots;
    return s <= 120 ? 9 * 60 + 30 + s : 13 * 60 + 1 + (s - 121);
}

struct Slot
{
    bool filled = false;
    bool hasAverage = false;
    Quote q;
};

void mergeInto(Slot* slot, const Quote& q, bool hasAverage)
{
    if (!slot->filled) {
        slot->filled = true;
        slot->q = q;
    } else {
        slot->q.high = std::max(slot->q.high, q.high);
        slot->q.low = std::min(slot->q.low, q.low);
        slot->q.close = q.close;
        slot->q.volume += q.volume;
        slot->q.amount += q.amount;
        slot->q.average = q.average;
    }
    slot->hasAverage = hasAverage;
}

// A minute without trades: the previous price, no volume.
Quote carried(const Quote& previous)
{
    Quote q;
    q.open = q.high = q.low = q.close = previous.close;
    q.average = previous.average;
    return q;
}

struct DayLayout
{
    qint64 ymd = 0;
    std::array<Slot, kAllSlots> minutes;
};

// Merges every row into its day's slot; the auction band exists only on
// the day `bandDay`.
bool placeRows(const QuoteCsvFile& csv, const QVector<Quote>& quotes, bool auction, int bandDay,
               QVector<DayLayout>* days)
{
    int d = -1;
    for (int k = 0; k < quotes.size(); ++k) {
        const Quote& q = quotes.at(k);
        const QuoteCsvRow& row = csv.rows().at(k);
        if (!q.hasTime)
            return csv.failField(row, csv.dateColumn(), QStringLiteral("no time of day"));
        if (d < 0 || (*days)[d].ymd != q.time / 1000000) {
            ++d;
            (*days)[d].ymd = q.time / 1000000;
        }
        const int hhmmss = int(q.time % 1000000);
        const int slot = slotOfMinute(hhmmss / 10000 * 60 + hhmmss / 100 % 100,
                                      auction && d == bandDay);
        if (slot < 0)
            return csv.failField(row, csv.timeColumn(), QStringLiteral("outside trading hours 09:15-15:00"));
        mergeInto(&(*days)[d].minutes[size_t(slot)], q, q.hasAverage);
    }
    return true;
}

// Fills the slots without a row of their own as the header describes;
// placeholders stay unfilled.
void completeDay(DayLayout* day, bool lastDay)
{
    auto& s = day->minutes;
    int firstMain = -1;
    for (int i = kAuctionSlots; i < kAllSlots && firstMain < 0; ++i)
        firstMain = s[size_t(i)].filled ? i : -1;
    if (firstMain > kAuctionSlots) {
        const Slot& from = s[size_t(firstMain)];
        Slot opening;
        opening.filled = true;
        opening.hasAverage = from.hasAverage;
        opening.q = carried(from.q);
        opening.q.high = opening.q.low = opening.q.close = opening.q.open = from.q.open;
        s[size_t(kAuctionSlots)] = opening;
    }
    int first = -1, last = -1;
    for (int i = 0; i < kAllSlots; ++i) {
        if (s[size_t(i)].filled) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    if (first < 0)
        return;
    // Auction slots before the first print hold the opening price with no
    // volume: the band is part of the day, and an empty key there would end
    // the day's lines before they start.
    for (int i = 0; i < std::min(first, kAuctionSlots); ++i) {
        Quote flat = carried(s[size_t(first)].q);
        flat.high = flat.low = flat.close = flat.open = s[size_t(first)].q.open;
        s[size_t(i)].filled = true;
        s[size_t(i)].q = flat;
        s[size_t(i)].hasAverage = s[size_t(first)].hasAverage;
    }
    const int end = lastDay ? last : kAllSlots - 1;
    for (int i = first + 1; i <= end; ++i) {
        if (!s[size_t(i)].filled) {
            s[size_t(i)].filled = true;
            s[size_t(i)].q = carried(s[size_t(i - 1)].q);
            s[size_t(i)].hasAverage = s[size_t(i - 1)].hasAverage;
        }
    }
}

// Turns the days into records: averages, previous close and change, keys.
void emitDays(const QVector<DayLayout>& days, int keepFrom, bool auction, bool hasAmount,
              double firstPreClose, DQDDataList* out)
{
    double preClose = firstPreClose;
    for (int d = 0; d < days.size(); ++d) {
        const DayLayout& day = days.at(d);
        const int from = (auction && d == keepFrom) ? 0 : kAuctionSlots;
        double cumVolume = 0, cumAmount = 0, sumClose = 0;
        int filled = 0;
        double dayClose = preClose;
        for (int i = from; i < kAllSlots; ++i) {
            const Slot& slot = day.minutes[size_t(i)];
            if (!slot.filled) {
                // Before the first row: an empty slot; after the last row
                // (only the file's last day has such slots): not traded yet.
                if (d >= keepFrom) {
                    DQDUnionReader placeholder;
                    placeholder.setUniqueValue(filled > 0 ? -1 : 0);
                    out->append(placeholder);
                }
                continue;
            }
            cumVolume += slot.q.volume;
            cumAmount += slot.q.amount;
            sumClose += slot.q.close;
            ++filled;
            dayClose = slot.q.close;
            if (d < keepFrom)
                continue;
            double average = sumClose / filled;
            if (slot.hasAverage)
                average = slot.q.average;
            else if (hasAmount && cumVolume > 0)
                average = cumAmount / cumVolume;
            const int minute = minuteOfSlot(i);
            const qint64 time = day.ymd * 1000000 + (minute / 60) * 10000 + (minute % 60) * 100;
            DQDUnionReader r;
            setPrices(&r, time, slot.q, preClose, average, hasAmount);
            out->append(r);
        }
        preClose = dayClose;
    }
}

} // namespace

bool QuoteLoader::loadBars(const QString& path, DQDDataList* out, QString* error)
{
    QuoteCsvFile csv(path, error);
    QVector<Quote> quotes;
    if (!csv.read(kQuoteRequired, kQuoteOptional) || !readQuotes(csv, &quotes))
        return false;
    const bool hasAmount = csv.has(kAmount);
    DQDDataList list;
    list.reserve(quotes.size());
    double preClose = quotes.first().open;
    for (const Quote& q : quotes) {
        double average = q.close;
        if (q.hasAverage)
            average = q.average;
        else if (hasAmount && q.volume > 0)
            average = q.amount / q.volume;
        DQDUnionReader r;
        setPrices(&r, q.time, q, preClose, average, hasAmount);
        list.append(r);
        preClose = q.close;
    }
    if (!out)
        return csv.fail(0, QStringLiteral("no output list given"));
    *out = list;
    return true;
}

bool QuoteLoader::loadMinutes(const QString& path, DQDDataList* out, const MinuteOptions& opt,
                              QString* error)
{
    QuoteCsvFile csv(path, error);
    QVector<Quote> quotes;
    if (!csv.read(kQuoteRequired, kQuoteOptional) || !readQuotes(csv, &quotes))
        return false;

    // Which days are kept decides where the auction band goes, so count the
    // days before laying the slots out.
    QVector<qint64> dayList;
    for (const Quote& q : quotes) {
        if (dayList.isEmpty() || dayList.last() != q.time / 1000000)
            dayList.append(q.time / 1000000);
    }
    const int keepFrom = opt.days > 0 ? std::max(0, int(dayList.size()) - opt.days) : 0;

    QVector<DayLayout> days(dayList.size());
    if (!placeRows(csv, quotes, opt.auction, keepFrom, &days))
        return false;
    for (int i = 0; i < days.size(); ++i)
        completeDay(&days[i], i == days.size() - 1);

    DQDDataList list;
    list.reserve((days.size() - keepFrom) * kDaySlots + (opt.auction ? kAuctionSlots : 0));
    emitDays(days, keepFrom, opt.auction, csv.has(QStringLiteral("amount")), quotes.first().open,
             &list);
    if (!out)
        return csv.fail(0, QStringLiteral("no output list given"));
    *out = list;
    return true;
}

bool QuoteLoader::loadFloatShares(const QString& path, QMap<qint64, double>* out, QString* error)
{
    const QString date = QStringLiteral("date");
    const QString shares = QStringLiteral("float_shares");
    QuoteCsvFile csv(path, error);
    if (!csv.read({date, shares}, {}))
        return false;
    QMap<qint64, double> map;
    qint64 previous = 0;
    for (const QuoteCsvRow& row : csv.rows()) {
        qint64 time = 0;
        double value = 0;
        if (!csv.dateTime(row, &time) || !csv.number(row, shares, &value))
            return false;
        if (value <= 0 || value > kMaxQuantity)
            return csv.failField(row, shares, QStringLiteral("not a number of shares"));
        if (time <= previous)
            return csv.failField(row, csv.dateColumn(), QStringLiteral("not later than the previous row"));
        map.insert(time, value);
        previous = time;
    }
    if (!out)
        return csv.fail(0, QStringLiteral("no output list given"));
    *out = map;
    return true;
}

} // namespace ZtUIDataStruct
