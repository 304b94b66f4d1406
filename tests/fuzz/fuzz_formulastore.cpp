// The formula store file: loading any content either fills the store or
// reports an error, and a loaded store saves and loads back.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeScratch(QStringLiteral("store.json"), data, size);
    CDFormulaManage store;
    std::string error;
    if (!store.loadFromFile(path.toStdString(), &error))
        return 0;
    for (const TagFormularContent& c : store.contents())
        (void)ModuleFormular::checkFormula(c, &error);
    const std::string again = fuzz::scratchFile(QStringLiteral("again.json")).toStdString();
    if (store.saveToFile(again, &error)) {
        CDFormulaManage reread;
        (void)reread.loadFromFile(again, &error);
    }
    return 0;
}
