#pragma once

#include <QString>

#include <memory>

class ChartData;

// Where the viewer's quotes come from: the sample files shipped with the
// sources, or files the user opens. Loading goes through ztchart's
// ChartData so that both hosts read quotes and events the same way.
class ViewerSource
{
public:
    // The folder of the sample quotes: the source tree's data folder when it
    // is still there, else a "data" folder beside the executable, else the
    // executable's own folder.
    static QString sampleDir();
    static QString samplePath(const QString& fileName);

    // Daily bars with an optional event list (empty: none). Throws CliError
    // with a one-line message for a missing or bad file.
    static std::unique_ptr<ChartData> loadBars(const QString& file, const QString& events);
    // The last days trading days of an intraday minute file.
    static std::unique_ptr<ChartData> loadMinutes(const QString& file, int days);
    // A file the user picked: minutes when its first data row carries a
    // time of day (yyyyMMddHHmm), else daily bars with the events (empty:
    // none).
    static std::unique_ptr<ChartData> loadAny(const QString& file, const QString& events);
};
