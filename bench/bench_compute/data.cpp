// The quote lists and data-service feeds of the computation benchmark.

#include "ComputeBench.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace ComputeBench {

// A mean-reverting walk around 10 yuan on consecutive calendar days from
// 1700 on, so that every key is a real date (the feed files are checked).
// Prices have two decimals, as quotes do: the formula engine reads them
// back from floats as those decimals, the hand loops from the doubles of the
// list, and both then see one value.
DQDDataList makeDailyBars(int n)
{
    DQDDataList list;
    list.reserve(n);
    double price = 10.0;
    quint32 seed = 12345;
    auto noise = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24) - 0.5;
    };
    const QDate first(1700, 1, 1);
    for (int i = 0; i < n; ++i) {
        const double open = price;
        const auto cents = [](double v) { return std::round(v * 100.0) / 100.0; };
        price = cents(std::max(1.0, price * (1.0 + noise() * 0.04) + (10.0 - price) * 0.01));
        const double high = cents(std::max(open, price) * (1.0 + std::fabs(noise()) * 0.02));
        const double low = cents(std::min(open, price) * (1.0 - std::fabs(noise()) * 0.02));
        const double volume = std::round(1e6 * (1.0 + noise()));
        const QDate d = first.addDays(i);
        const qint64 key = (qint64(d.year()) * 10000 + d.month() * 100 + d.day()) * 1000000;
        DQDUnionReader r;
        r.setUniqueValue(key);
        r.setValue(eFieldDateTime, key);
        r.setValue(eFieldOpen, open);
        r.setValue(eFieldHigh, high);
        r.setValue(eFieldLow, low);
        r.setValue(eFieldClose, price);
        r.setValue(eFieldVolume, volume);
        r.setValue(eFieldAmount, volume * (high + low + price) / 3.0);
        list.append(r);
    }
    return list;
}

Feed makeFeed(const DQDDataList& bars, const char* header, int columns, quint32 seed)
{
    Feed f;
    f.csv = QByteArray("date,") + header + '\n';
    f.rows.reserve(size_t(bars.count()));
    for (int i = 0; i < bars.count(); ++i) {
        const qint64 key = bars.at(i)->uniqueKey();
        FeedRow row{key, {}};
        f.csv += QByteArray::number(key / 1000000);
        for (int c = 0; c < columns; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double v = double(seed >> 12); // whole numbers: text and value agree
            row.values.push_back(v);
            f.csv += ',' + QByteArray::number(v, 'f', 0);
        }
        f.csv += '\n';
        f.rows.push_back(std::move(row));
    }
    return f;
}


Fixture& fixture()
{
    static Fixture* f = [] {
        auto* x = new Fixture;
        x->daily = makeDailyBars(kDailyBars);
        x->demoDaily = makeDailyBars(kDemoBars);
        const QString minutes = QStringLiteral(ZT_SOURCE_DIR "/data/sh600000_dline5.csv");
        QuoteLoader::MinuteOptions one;
        one.days = 1;
        QuoteLoader::MinuteOptions five;
        five.days = 5;
        if (!QuoteLoader::loadMinutes(minutes, &x->minutesDay, one, &x->error)
            || !QuoteLoader::loadMinutes(minutes, &x->minutesWeek, five, &x->error))
            return x;
        x->fundFlow = makeFeed(x->daily, "bigbuy,bigsell", 2, 11);
        x->power = makeFeed(x->daily, "buyer,seller", 2, 22);
        x->chipLock = makeFeed(x->daily, "5dpjl,sdlCJ,sdlWT,spj,sdl,d5lb", 6, 33);
        x->margin = makeFeed(x->daily, "rzye,rqye,rzrqye", 3, 44);

        PBDataChange::registerInstrument(kCode, QStringLiteral("Bench"), x->daily, DQDDataList(),
                                         {});
        QTemporaryDir dir;
        const auto attach = [&](const char* name, const Feed& feed, auto call) {
            const QString path = dir.filePath(QLatin1String(name));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(feed.csv) != feed.csv.size()) {
                x->error = QStringLiteral("cannot write ") + path;
                return;
            }
            file.close();
            QString why;
            if (!call(kCode, path, &why))
                x->error = why;
        };
        attach("flow.csv", x->fundFlow, &PBDataChange::attachFundFlowFeed);
        attach("power.csv", x->power, &PBDataChange::attachPowerFeed);
        attach("lock.csv", x->chipLock, &PBDataChange::attachChipLockFeed);
        attach("margin.csv", x->margin, &PBDataChange::attachMarginFeed);
        return x;
    }();
    return *f;
}

} // namespace ComputeBench
