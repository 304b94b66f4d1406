#pragma once

#include <ZtLineLib.h>

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

inline QString samplePath(const QString& name)
{
    return QStringLiteral(ZT_SOURCE_DIR "/data/") + name;
}

constexpr double kNoValue = -999999986991104.0;

} // namespace DataServiceFixtures
