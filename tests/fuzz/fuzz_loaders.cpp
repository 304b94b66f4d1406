// The quote and event CSV loaders over any file content.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ZtUIDataStruct;
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const QString path = fuzz::writeScratch(QStringLiteral("input.csv"), data + 1, size - 1);
    QString error;
    DQDDataList out;
    switch (mode % 4) {
    case 0:
        (void)QuoteLoader::loadBars(path, &out, &error);
        break;
    case 1: {
        QuoteLoader::MinuteOptions opt;
        opt.days = (mode >> 2) % 8;
        opt.auction = (mode >> 5) & 1;
        (void)QuoteLoader::loadMinutes(path, &out, opt, &error);
        break;
    }
    case 2: {
        QMap<int, DQDDataList> events;
        (void)EventLoader::loadEvents(path, &events, &error);
        break;
    }
    default: {
        QMap<qint64, double> shares;
        (void)QuoteLoader::loadFloatShares(path, &shares, &error);
        break;
    }
    }
    return 0;
}
