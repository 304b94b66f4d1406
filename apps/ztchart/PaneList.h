#pragma once

#include "ChartPane.h"
#include "PaneCatalog.h"

#include <QList>
#include <QString>

// The panes of a chart as the --panes option lists them, top to bottom:
//   kline:MA,vol,macd(6,13,5),kdj
// The first pane is the main chart. Names after ':' are overlays of that
// pane (drawn on it, sharing its value axis) for as long as they are overlay
// types (MA, BOLL, CLOSE); the next other name starts a new pane. A name may
// carry parameters in parentheses; overlays may also be joined with '+'
// (kline:MA+BOLL). YDCM (or CHIP) is not stacked: it is the
// chip-distribution column beside the main chart.
class PaneList
{
public:
    using Entry = ChartPane::Entry;
    struct Pane
    {
        Entry main;
        QList<Entry> overlays;
    };

    QList<Pane> panes;
    bool chipColumn = false;
    QList<double> chipParams;

    // Throws a usage error naming the bad item.
    static PaneList parse(const QString& text);
    static bool isOverlayType(PaneCatalog::Type type);

private:
    static QStringList splitTopLevel(const QString& text, QChar sep);
    static Entry parseEntry(const QString& item);
};
