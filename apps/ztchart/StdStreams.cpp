#include "StdStreams.h"

#include <cstdio>

namespace {

QTextStream* makeStream(FILE* file)
{
    auto* s = new QTextStream(file);
    s->setCodec("UTF-8");
    return s;
}

} // namespace

QTextStream& StdStreams::out()
{
    static QTextStream* s = makeStream(stdout);
    return *s;
}

QTextStream& StdStreams::err()
{
    static QTextStream* s = makeStream(stderr);
    return *s;
}

void StdStreams::flush()
{
    out().flush();
    err().flush();
}
