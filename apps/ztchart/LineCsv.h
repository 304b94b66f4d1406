#pragma once

#include "DataWindow.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>

class ZtLineLib_Formula;
class ChartData;

// Writes indicator lines as CSV: a header "index,key,<line names…>", then
// one row per record of the window; a cell is empty where a line has no
// value. Line names are made unique (a nameless line is "line<k>").
class LineCsv
{
public:
    // Numbers as the shortest text that reads back as the same float.
    static QString formatValue(float v);
    // True for the markers of "no value" (the no-value marker, the engine's
    // failure pattern, NaN, infinities).
    static bool isNoValue(float v);

    // series[k][i] belongs to record i.
    static void write(QTextStream& out, const ChartData& data, const DataWindow& window,
                      QStringList names, const QVector<QVector<float>>& series);
    // The value series of every line of a pane.
    static void writePane(QTextStream& out, const ChartData& data, const DataWindow& window,
                          const ZtLineLib_Formula& pane);
    // The chip rows of a chip-distribution pane: "line,price,volume".
    static void writeChipRows(QTextStream& out, const ZtLineLib_Formula& pane);

    static QStringList uniqueNames(const QStringList& names);
};
