#pragma once

#include <ZtLineLib.h>

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>

// Builders of hand-made quote records for the data-service tests.
namespace DataServiceFixtures {

inline ZtUIDataStruct::DQDUnionReader bar(qint64 key, double low, double high, double close,
                                          double volume, double amount = 0.0)
{
    using namespace ZtUIDataStruct;
    DQDUnionReader r;
    r.setUniqueValue(key);
    r.setValue(eFieldDateTime, key);
    r.setValue(eFieldOpen, close);
    r.setValue(eFieldLow, low);
    r.setValue(eFieldHigh, high);
    r.setValue(eFieldClose, close);
    r.setValue(eFieldVolume, volume);
    if (amount > 0)
        r.setValue(eFieldAmount, amount);
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
    ZtUIDataStruct::DQDUnionReader r;
    r.setUniqueValue(0);
    return r;
}

inline ZtUIDataStruct::DQDUnionReader readerOf(const QString& code)
{
    return ZtUIDataStruct::DQDUnionReader(PBDataChange::LBDG_QNowSingle(code, false));
}

// Writes text into a file of a temporary folder and gives its path.
inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return path;
}

// The sample quotes of data/ (date,open,high,low,close,volume,amount; date
// yyyymmdd or yyyymmddHHMM). Unreadable lines are skipped: the loader only
// feeds tests that check the sample files themselves.
inline ZtUIDataStruct::DQDDataList loadQuotes(const QString& name)
{
    using namespace ZtUIDataStruct;
    DQDDataList list;
    QFile f(QStringLiteral(ZT_SOURCE_DIR "/data/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return list;
    f.readLine();
    while (!f.atEnd()) {
        const QList<QByteArray> c = f.readLine().trimmed().split(',');
        if (c.size() != 7)
            continue;
        const qint64 key = c[0].size() == 8 ? c[0].toLongLong() * 1000000 : c[0].toLongLong() * 100;
        DQDUnionReader r = bar(key, c[3].toDouble(), c[2].toDouble(), c[4].toDouble(),
                               c[5].toDouble(), c[6].toDouble());
        r.setValue(eFieldOpen, c[1].toDouble());
        list.append(r);
    }
    return list;
}

inline QMap<qint64, double> loadFloatShares(const QString& name)
{
    QMap<qint64, double> shares;
    QFile f(QStringLiteral(ZT_SOURCE_DIR "/data/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return shares;
    f.readLine();
    while (!f.atEnd()) {
        const QList<QByteArray> c = f.readLine().trimmed().split(',');
        if (c.size() == 2)
            shares.insert(c[0].toLongLong(), c[1].toDouble());
    }
    return shares;
}

constexpr double kNoValue = -999999986991104.0;

} // namespace DataServiceFixtures
