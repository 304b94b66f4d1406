#pragma once

// Daily bars for the benchmarks: a random walk with a fixed seed, prices
// around 10, volumes around 5e7, one bar per weekday from 1985 on.

#include <DQDDataList.h>
#include <DQDFieldId.h>
#include <DQDUnionReader.h>

#include <QDate>

#include <algorithm>
#include <cmath>
#include <random>

inline ZtUIDataStruct::DQDDataList makeBenchBars(int n)
{
    using namespace ZtUIDataStruct;
    std::mt19937 rng(20240919);
    std::normal_distribution<double> step(0.0, 0.012);
    std::uniform_real_distribution<double> spread(0.0, 0.01);
    std::lognormal_distribution<double> volume(17.7, 0.4);
    DQDDataList list;
    list.reserve(n);
    QDate date(1985, 1, 2);
    double close = 10.0;
    for (int i = 0; i < n; ++i) {
        const double pre = close;
        const double open = pre * (1 + step(rng) * 0.3);
        close = std::max(0.5, pre * (1 + step(rng)));
        const double high = std::max(open, close) * (1 + spread(rng));
        const double low = std::min(open, close) * (1 - spread(rng));
        const qint64 key = qint64(date.year()) * 10000000000LL + qint64(date.month()) * 100000000LL
                           + qint64(date.day()) * 1000000LL;
        DQDUnionReader r;
        r.setUniqueValue(key);
        r.setValue(eFieldDateTime, key);
        r.setValue(eFieldPreClose, pre);
        r.setValue(eFieldOpen, open);
        r.setValue(eFieldHigh, high);
        r.setValue(eFieldLow, low);
        r.setValue(eFieldClose, close);
        r.setValue(eFieldChange, close - pre);
        r.setValue(eFieldVolume, std::round(volume(rng)));
        list.append(r);
        date = date.addDays(date.dayOfWeek() == 5 ? 3 : 1);
    }
    return list;
}
