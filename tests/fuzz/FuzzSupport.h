#pragma once

// Helpers shared by the fuzz targets: an offscreen GUI application for the
// painting targets, temporary files for the loaders, hostile numbers and
// hostile quote lists.

#include <fuzzer/FuzzedDataProvider.h>

#include <ZtLineLib.h>

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

namespace fuzz {

// Fonts and painting on a QImage need a GUI application; the offscreen
// platform needs no display. The application lives until the process ends:
// destroying it among the exit handlers, after Qt's own statics, crashes.
inline void ensureGuiApplication()
{
    static QGuiApplication* app = nullptr;
    if (app)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    app = new QGuiApplication(argc, argv);
}

// A file path in a directory that lives as long as the process.
inline QString scratchFile(const QString& name)
{
    static QTemporaryDir dir;
    return dir.filePath(name);
}

inline QString writeScratch(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = scratchFile(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

// A double that is now and then one of the values that break arithmetic.
inline double hostileDouble(FuzzedDataProvider& in)
{
    using L = std::numeric_limits<double>;
    // −999999986991104 is the no-value marker.
    static const double kHostile[] = {L::quiet_NaN(), L::infinity(), -L::infinity(), 1e300, -1e300,
                                      -999999986991104.0, 0.0, L::denorm_min()};
    const int k = in.ConsumeIntegralInRange<int>(0, 11);
    return k < 8 ? kHostile[k] : in.ConsumeFloatingPointInRange<double>(-1e6, 1e6);
}

inline float hostileFloat(FuzzedDataProvider& in) { return float(hostileDouble(in)); }

inline int hostileInt(FuzzedDataProvider& in)
{
    static const int kHostile[] = {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), -1, 0};
    const int k = in.ConsumeIntegralInRange<int>(0, 7);
    return k < 4 ? kHostile[k] : in.ConsumeIntegralInRange<int>(-50, 500);
}

// A key now and then empty, negative, huge or repeated, else the next minute
// or day in the usual layout.
inline qint64 quoteKey(FuzzedDataProvider& in, qint64 previous, bool minutes)
{
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 0: return 0;
    case 1: return -in.ConsumeIntegralInRange<qint64>(1, 1000);
    case 2: return in.ConsumeIntegral<qint64>();
    case 3: return previous;
    default:
        if (minutes)
            return 20240102093000LL + in.ConsumeIntegralInRange<qint64>(0, 3) * 1000000
                   + in.ConsumeIntegralInRange<int>(9, 15) * 10000
                   + in.ConsumeIntegralInRange<int>(0, 59) * 100;
        return previous > 0 && previous < 30000000000000LL ? previous + 1000000 : 20240102000000LL;
    }
}

// Up to 60 records of hostile prices, now and then without a field.
inline ZtUIDataStruct::DQDDataList quoteList(FuzzedDataProvider& in, bool minutes)
{
    using namespace ZtUIDataStruct;
    static const unsigned fields[] = {eFieldOpen,    eFieldHigh,   eFieldLow,    eFieldClose, eFieldPreClose,
                                      eFieldAverage, eFieldVolume, eFieldAmount, eFieldChange};
    DQDDataList list;
    const int n = in.ConsumeIntegralInRange<int>(0, 60);
    qint64 key = 0;
    for (int i = 0; i < n; ++i) {
        key = quoteKey(in, key, minutes);
        DQDUnionReader r;
        r.setUniqueValue(key);
        if (in.ConsumeIntegralInRange<int>(0, 7) != 0)
            r.setValue(eFieldDateTime, key);
        for (unsigned f : fields) {
            if (in.ConsumeIntegralInRange<int>(0, 5) != 0)
                r.setValue(f, hostileDouble(in));
        }
        list.append(r);
    }
    return list;
}

} // namespace fuzz
