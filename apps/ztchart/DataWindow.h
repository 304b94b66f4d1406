#pragma once

class CliOptions;

// The shown part of a record list: first index and number of items, from
// --first/--count. Both must lie inside the data.
class DataWindow
{
public:
    int first = 0;
    int count = 0;

    // defaultCount items ending at the last record, unless the options say
    // otherwise (--first alone runs to the end of the data; --count alone
    // ends at the last record). Throws CliError for a window outside the
    // data.
    static DataWindow resolve(const CliOptions& opts, int total, int defaultCount);
};
