#pragma once

#include "TestKit.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>

// Builders of hand-made quote records for the data-service tests.
namespace DataServiceFixtures {

inline ZtUIDataStruct::DQDUnionReader bar(qint64 key, double low, double high, double close,
                                          double volume, double amount = 0.0)
{
    ZtUIDataStruct::DQDUnionReader r = testkit::ohlc(key, close, high, low, close, volume);
    if (amount > 0)
        r.setValue(ZtUIDataStruct::eFieldAmount, amount);
    return r;
}

// A minute with open, close and amount; high and low span open and close.
inline ZtUIDataStruct::DQDUnionReader minute(qint64 key, double open, double close,
                                             double amount, double volume = 100.0)
{
    ZtUIDataStruct::DQDUnionReader r =
        bar(key, std::min(open, close), std::max(open, close), close, volume, amount);
    r.setValue(ZtUIDataStruct::eFieldOpen, open);
    return r;
}

inline ZtUIDataStruct::DQDUnionReader emptySlot()
{
    return testkit::record(0);
}

inline ZtUIDataStruct::DQDUnionReader readerOf(const QString& code)
{
    return ZtUIDataStruct::DQDUnionReader(PBDataChange::LBDG_QNowSingle(code, false));
}

using testkit::samplePath;
using testkit::writeFile;

constexpr double kNoValue = -999999986991104.0;

} // namespace DataServiceFixtures
