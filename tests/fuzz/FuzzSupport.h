#pragma once

// Helpers shared by the fuzz targets: an offscreen GUI application for the
// painting targets, temporary files for the loaders, and hostile numbers.

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cmath>
#include <limits>
#include <memory>

namespace fuzz {

// Fonts and painting on a QImage need a GUI application; the offscreen
// platform needs no display.
inline void ensureGuiApplication()
{
    static std::unique_ptr<QGuiApplication> app;
    if (app)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
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
    switch (in.ConsumeIntegralInRange<int>(0, 11)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return std::numeric_limits<double>::infinity();
    case 2: return -std::numeric_limits<double>::infinity();
    case 3: return 1e300;
    case 4: return -1e300;
    case 5: return -999999986991104.0; // the no-value marker
    case 6: return 0.0;
    case 7: return std::numeric_limits<double>::denorm_min();
    default: return in.ConsumeFloatingPointInRange<double>(-1e6, 1e6);
    }
}

inline float hostileFloat(FuzzedDataProvider& in)
{
    return float(hostileDouble(in));
}

inline int hostileInt(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: return std::numeric_limits<int>::min();
    case 1: return std::numeric_limits<int>::max();
    case 2: return -1;
    case 3: return 0;
    default: return in.ConsumeIntegralInRange<int>(-50, 500);
    }
}

} // namespace fuzz
