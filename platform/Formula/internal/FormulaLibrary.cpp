#include "FormulaLibrary.h"

#include "FormulaBars.h"

#include <unordered_map>

double FormulaCall::number(size_t i) const
{
    const FormulaValue& v = m_args[i];
    if (v.isScalar)
        return v.number;
    return (v.series && !v.series->empty()) ? v.series->front() : FormulaLibrary::kNaN;
}

const double* FormulaCall::series(size_t i)
{
    const FormulaValue& v = m_args[i];
    if (!v.isScalar)
        return v.series->data();
    m_spread.emplace_back(size_t(m_n), v.number);
    return m_spread.back().data();
}

void FormulaCall::readCalendar()
{
    m_calendarRead = true;
    if (!m_bars)
        return;
    m_dates = m_bars->dates();
    m_times = m_bars->times();
}

namespace {

struct Joined
{
    std::vector<const FormulaLibraryEntry*> entries;
    std::unordered_map<std::string, int> byName;

    Joined()
    {
        using namespace FormulaLibrary;
        for (const Family f : {mathFamily(), statsFamily(), referenceFamily(), signalFamily(),
                               logicFamily(), timeFamily()}) {
            for (size_t k = 0; k < f.count; ++k) {
                byName.emplace(f.entries[k].name, int(entries.size()));
                entries.push_back(&f.entries[k]);
            }
        }
    }
};

const Joined& joined()
{
    static const Joined j;
    return j;
}

} // namespace

int FormulaLibrary::indexOf(const std::string& name)
{
    const auto it = joined().byName.find(name);
    return it == joined().byName.end() ? -1 : it->second;
}

const FormulaLibraryEntry& FormulaLibrary::entry(int position)
{
    return *joined().entries[size_t(position)];
}

int FormulaLibrary::size()
{
    return int(joined().entries.size());
}
