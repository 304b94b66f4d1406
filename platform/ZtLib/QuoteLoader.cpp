#include "QuoteLoader.h"

#include "DQDFieldId.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QTime>
#include <QVector>

#include <array>
#include <cmath>

namespace ZtUIDataStruct {

namespace {

struct CsvRow
{
    int line = 0;
    QStringList fields;
};

// A CSV file with a header row. Every failure writes one message naming the
// file, the line and, for field errors, the column as the header spells it.
class CsvFile
{
public:
    CsvFile(const QString& path, QString* error) : m_path(path), m_error(error) {}

    bool read(const QStringList& required, const QStringList& optional);
    bool has(const QString& column) const { return m_columns.contains(column); }
    const QVector<CsvRow>& rows() const { return m_rows; }

    bool number(const CsvRow& row, const QString& column, double* value) const;
    bool timeValue(const CsvRow& row, const QString& column, qint64* value) const;
    bool failField(const CsvRow& row, const QString& column, const QString& what) const;
    QString text(const CsvRow& row, const QString& column) const
    {
        return row.fields.at(m_columns.value(column));
    }
    bool fail(int line, const QString& message) const;

private:
    QString m_path;
    QString* m_error;
    QHash<QString, int> m_columns;      // canonical name → position
    QHash<QString, QString> m_spelling; // canonical name → header text
    int m_width = 0;
    QVector<CsvRow> m_rows;
};

QString canonicalColumn(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("time") || n == QLatin1String("datetime"))
        return QStringLiteral("date");
    return n;
}

bool CsvFile::fail(int line, const QString& message) const
{
    if (m_error) {
        *m_error = line > 0 ? QStringLiteral("%1:%2: %3").arg(m_path).arg(line).arg(message)
                            : QStringLiteral("%1: %2").arg(m_path, message);
    }
    return false;
}

bool CsvFile::failField(const CsvRow& row, const QString& column, const QString& what) const
{
    return fail(row.line, QStringLiteral("column \"%1\": %2: \"%3\"")
                              .arg(m_spelling.value(column), what, text(row, column)));
}

bool CsvFile::read(const QStringList& required, const QStringList& optional)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(0, QStringLiteral("cannot open: %1").arg(file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(0, QStringLiteral("cannot read: %1").arg(file.errorString()));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    int headerLine = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QString text = lines.at(i).trimmed();
        if (text.isEmpty())
            continue;
        const int lineNo = i + 1;
        QStringList fields = text.split(QLatin1Char(','));
        for (QString& f : fields)
            f = f.trimmed();
        if (headerLine == 0) {
            headerLine = lineNo;
            m_width = fields.size();
            for (int c = 0; c < fields.size(); ++c) {
                const QString name = canonicalColumn(fields.at(c));
                if (!required.contains(name) && !optional.contains(name))
                    continue;
                if (m_columns.contains(name))
                    return fail(lineNo, QStringLiteral("duplicate column \"%1\"").arg(fields.at(c)));
                m_columns.insert(name, c);
                m_spelling.insert(name, fields.at(c));
            }
            for (const QString& name : required) {
                if (!m_columns.contains(name))
                    return fail(lineNo, QStringLiteral("missing column \"%1\"").arg(name));
            }
            continue;
        }
        if (fields.size() != m_width) {
            return fail(lineNo, QStringLiteral("expected %1 columns, found %2")
                                    .arg(m_width)
                                    .arg(fields.size()));
        }
        m_rows.append({lineNo, fields});
    }
    if (headerLine == 0)
        return fail(0, QStringLiteral("empty file, no header row"));
    if (m_rows.isEmpty())
        return fail(headerLine, QStringLiteral("no data rows after the header"));
    return true;
}

bool CsvFile::number(const CsvRow& row, const QString& column, double* value) const
{
    bool ok = false;
    const double v = text(row, column).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return failField(row, column, QStringLiteral("not a number"));
    *value = v;
    return true;
}

// yyyymmdd, yyyymmddHHMM or yyyymmddHHMMss → yyyyMMddHHmmss.
bool CsvFile::timeValue(const CsvRow& row, const QString& column, qint64* value) const
{
    const QString digitsText = text(row, column);
    const int n = digitsText.size();
    bool digits = n == 8 || n == 12 || n == 14;
    for (int i = 0; digits && i < n; ++i)
        digits = digitsText.at(i).isDigit() && digitsText.at(i).unicode() < 128;
    if (!digits)
        return failField(row, column, QStringLiteral("not a date"));
    const auto part = [&](int from, int len) { return from < n ? digitsText.mid(from, len).toInt() : 0; };
    const QDate date(part(0, 4), part(4, 2), part(6, 2));
    const QTime time(part(8, 2), part(10, 2), part(12, 2));
    if (!date.isValid() || !time.isValid())
        return failField(row, column, QStringLiteral("not a date"));
    *value = qint64(part(0, 4)) * 10000000000LL + qint64(part(4, 2)) * 100000000LL
             + qint64(part(6, 2)) * 1000000LL + part(8, 2) * 10000LL + part(10, 2) * 100LL
             + part(12, 2);
    return true;
}

struct Quote
{
    int line = 0;
    qint64 time = 0;
    double open = 0, high = 0, low = 0, close = 0, volume = 0, amount = 0, average = 0;
};

const QStringList kQuoteRequired = {QStringLiteral("date"), QStringLiteral("open"),
                                    QStringLiteral("high"), QStringLiteral("low"),
                                    QStringLiteral("close"), QStringLiteral("volume")};
const QStringList kQuoteOptional = {QStringLiteral("amount"), QStringLiteral("average")};

// Every row as a quote, in strictly increasing time order.
bool readQuotes(const CsvFile& csv, QVector<Quote>* quotes)
{
    const bool hasAmount = csv.has(QStringLiteral("amount"));
    const bool hasAverage = csv.has(QStringLiteral("average"));
    quotes->reserve(csv.rows().size());
    for (const CsvRow& row : csv.rows()) {
        Quote q;
        q.line = row.line;
        if (!csv.timeValue(row, QStringLiteral("date"), &q.time)
            || !csv.number(row, QStringLiteral("open"), &q.open)
            || !csv.number(row, QStringLiteral("high"), &q.high)
            || !csv.number(row, QStringLiteral("low"), &q.low)
            || !csv.number(row, QStringLiteral("close"), &q.close)
            || !csv.number(row, QStringLiteral("volume"), &q.volume)
            || (hasAmount && !csv.number(row, QStringLiteral("amount"), &q.amount))
            || (hasAverage && !csv.number(row, QStringLiteral("average"), &q.average)))
            return false;
        // Out-of-order or repeated times would put two records on one slot.
        if (!quotes->isEmpty() && q.time <= quotes->last().time)
            return csv.failField(row, QStringLiteral("date"),
                                 QStringLiteral("not later than the previous row"));
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
bool placeRows(const CsvFile& csv, const QVector<Quote>& quotes, bool auction, int bandDay,
               QVector<DayLayout>* days)
{
    const QString dateColumn = QStringLiteral("date");
    const bool hasAverage = csv.has(QStringLiteral("average"));
    int d = -1;
    for (int k = 0; k < quotes.size(); ++k) {
        const Quote& q = quotes.at(k);
        const CsvRow& row = csv.rows().at(k);
        if (csv.text(row, dateColumn).size() == 8)
            return csv.failField(row, dateColumn, QStringLiteral("no time of day"));
        if (d < 0 || (*days)[d].ymd != q.time / 1000000) {
            ++d;
            (*days)[d].ymd = q.time / 1000000;
        }
        const int hhmmss = int(q.time % 1000000);
        const int slot = slotOfMinute(hhmmss / 10000 * 60 + hhmmss / 100 % 100,
                                      auction && d == bandDay);
        if (slot < 0)
            return csv.failField(row, dateColumn, QStringLiteral("outside trading hours 09:15-15:00"));
        mergeInto(&(*days)[d].minutes[size_t(slot)], q, hasAverage);
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
        Quote open = carried(s[size_t(firstMain)].q);
        open.high = open.low = open.close = open.open = s[size_t(firstMain)].q.open;
        s[kAuctionSlots].filled = true;
        s[kAuctionSlots].q = open;
        s[kAuctionSlots].hasAverage = s[size_t(firstMain)].hasAverage;
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
    CsvFile csv(path, error);
    QVector<Quote> quotes;
    if (!csv.read(kQuoteRequired, kQuoteOptional) || !readQuotes(csv, &quotes))
        return false;
    const bool hasAmount = csv.has(QStringLiteral("amount"));
    const bool hasAverage = csv.has(QStringLiteral("average"));
    DQDDataList list;
    list.reserve(quotes.size());
    double preClose = quotes.first().open;
    for (const Quote& q : quotes) {
        double average = q.close;
        if (hasAverage)
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
    CsvFile csv(path, error);
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
    CsvFile csv(path, error);
    if (!csv.read({date, shares}, {}))
        return false;
    QMap<qint64, double> map;
    qint64 previous = 0;
    for (const CsvRow& row : csv.rows()) {
        qint64 time = 0;
        double value = 0;
        if (!csv.timeValue(row, date, &time) || !csv.number(row, shares, &value))
            return false;
        if (time <= previous)
            return csv.failField(row, date, QStringLiteral("not later than the previous row"));
        map.insert(time, value);
        previous = time;
    }
    if (!out)
        return csv.fail(0, QStringLiteral("no output list given"));
    *out = map;
    return true;
}

} // namespace ZtUIDataStruct
