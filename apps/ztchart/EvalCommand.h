#pragma once

#include <QStringList>

// ztchart eval: evaluates a formula text over a quote file and prints its
// output lines as CSV.
class EvalCommand
{
public:
    static int run(const QStringList& args);
    static QString help();
};
