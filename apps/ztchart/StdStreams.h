#pragma once

#include <QTextStream>

// UTF-8 text streams on standard output and standard error, shared by the
// subcommands so that nothing is written out of order.
class StdStreams
{
public:
    static QTextStream& out();
    static QTextStream& err();
    static void flush();
};
