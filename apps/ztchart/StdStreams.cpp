#include "StdStreams.h"

#include <cstdio>

namespace {

QTextStream* makeStream(FILE* file)
{
    auto* s = new QTextStream(file);
    // Qt 6 streams are UTF-8 by default; Qt 5 ones follow the locale.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    s->setCodec("UTF-8");
#endif
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
