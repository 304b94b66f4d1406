#pragma once

#include <QString>

class CliOptions;

// The formula store file of --store: definitions and parameters the panes
// and the formula commands use instead of the built-in ones.
class FormulaStore
{
public:
    // Loads the file into the chart's store when --store names one. Throws
    // CliError for a file that cannot be read and, unless mayBeNew (a
    // command that creates the file), for one that does not exist: a
    // mistyped name must not quietly give the built-in definitions.
    static void loadIfGiven(const CliOptions& opts, bool mayBeNew = false);
    // Writes the chart's store to path. Throws CliError on failure.
    static void save(const QString& path);
};
