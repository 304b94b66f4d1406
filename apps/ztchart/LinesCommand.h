#pragma once

#include <QStringList>

// ztchart lines: the computed lines of one pane type as CSV, then the pane's
// value range as a trailing comment line.
class LinesCommand
{
public:
    static int run(const QStringList& args);
    static QString help();
};
