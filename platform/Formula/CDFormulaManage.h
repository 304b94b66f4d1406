#pragma once

#include "TagFormularContent.h"

#include <functional>
#include <string>
#include <vector>

// The formula store: definitions keyed by name (texts[0]). A new store holds
// the classic indicators MA, MACD, KDJ, BIAS, CCI, CR, VR, WR, RSI, BOLL,
// DMA, MTM and AB.
//
// Every ModuleFormular evaluates the definitions of the live stores: each
// store registers itself with a process-wide list on construction and
// leaves it on destruction. A store moves to the front of that list
// whenever it is default-constructed, assigned to, loaded, or used through
// GetFormularContent, SetFormularContent, ModifyFormular or removeFormular;
// an evaluation takes the definition from the front-most store that holds
// the name. So the chart's one static store and an evaluator living in
// another object always agree, and a definition changed through the
// pointer GetFormularContent hands out takes effect at the next evaluation.
// Single-threaded like the rest of the chart: no locks.
//
// Store file: one UTF-8 JSON document
//   { "format": "ZtFormulaStore", "version": 1,
//     "formulas": [ { "texts": [six strings], "numbers": [six ints],
//                     "params": [ { "name": "N", "values": [five numbers] }, … ] },
//                   … ] }
// texts[0] is the name. "values" holds params[0…4][j] (minimum, maximum,
// value, default, step); a value that is not a number is written as null.
class FORMULA_EXPORT CDFormulaManage
{
public:
    // The host's formula manager window, shown by FShowFormularManage; its
    // int is handed back.
    using ManageHandler = std::function<int(CDFormulaManage& store, int mode)>;
    // The host's editor of one definition, run by ModifyFormular; its bool is
    // handed back. It changes the store through SetFormularContent.
    using ModifyHandler = std::function<bool(CDFormulaManage& store, std::string& name)>;

    // FShowFormularManage's answer when the host registered no window.
    static constexpr int kNoManageWindow = -1;

    CDFormulaManage();
    CDFormulaManage(const CDFormulaManage& other);
    CDFormulaManage& operator=(const CDFormulaManage& other);
    ~CDFormulaManage();

    // The stored definition of name, or null. The store keeps ownership; the
    // pointer stays valid until the store's definitions change.
    TagFormularContent* GetFormularContent(std::string& name);
    // Adds or replaces the definition of the same name. False (store
    // unchanged) for an empty name or a parameter count outside 0…16.
    bool SetFormularContent(TagFormularContent& content);
    // Hands name to the registered ModifyHandler; false without one.
    bool ModifyFormular(std::string& name);
    // Hands mode to the registered ManageHandler; kNoManageWindow without one.
    int FShowFormularManage(int mode);

    // Process-wide handlers; an empty function unregisters.
    static void setManageHandler(ManageHandler handler);
    static void setModifyHandler(ModifyHandler handler);

    // Read-only lookup and the whole list, for hosts listing definitions.
    const TagFormularContent* findFormular(const std::string& name) const;
    const std::vector<TagFormularContent>& contents() const;
    // Removes the definition of name; false when there is none.
    bool removeFormular(const std::string& name);
    // The definitions a new store starts with.
    static std::vector<TagFormularContent> builtinFormulars();

    // Writes all definitions to path (UTF-8 file name), replacing the file
    // only once the new one is complete. False with a reason in *error.
    bool saveToFile(const std::string& path, std::string* error = nullptr) const;
    // Replaces all definitions with those of the file. An unreadable or
    // malformed file gives false with a reason in *error and leaves the
    // store as it was.
    bool loadFromFile(const std::string& path, std::string* error = nullptr);

private:
    std::vector<TagFormularContent> m_contents;
};
