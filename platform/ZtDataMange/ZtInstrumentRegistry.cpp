#include "ZtInstrumentRegistry.h"

QHash<QString, ZtInstrument>& ZtInstrumentRegistry::instruments()
{
    static QHash<QString, ZtInstrument> table;
    return table;
}

const ZtInstrument* ZtInstrumentRegistry::find(const QString& code)
{
    return findMutable(code);
}

ZtInstrument* ZtInstrumentRegistry::findMutable(const QString& code)
{
    if (code.isEmpty())
        return nullptr;
    auto& table = instruments();
    auto it = table.find(code);
    return it == table.end() ? nullptr : &it.value();
}
