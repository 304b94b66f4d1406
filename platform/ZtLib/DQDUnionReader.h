#pragma once

#include "DQDReader.h"

#include <QVector>
#include <array>

namespace ZtUIDataStruct {

// One quote record. Numbers given to the price fields 33010 … 33130 live
// unboxed in a fixed array, any other field in a small list, so that reading
// a bar during a repaint touches neither a hash table nor a variant copy.
class ZTLIB_EXPORT DQDUnionReader : public DQDReader
{
public:
    DQDUnionReader() = default;
    DQDUnionReader(const DQDUnionReader&) = default;
    DQDUnionReader(DQDUnionReader&&) noexcept = default;
    DQDUnionReader& operator=(const DQDUnionReader&) = default;
    DQDUnionReader& operator=(DQDUnionReader&&) noexcept = default;
    ~DQDUnionReader() override = default;

    QVariant getValue(unsigned int fieldId) const override;
    QString getUniqueValue(int index) const override;

    // An independent copy of the record.
    DQDUnionReader copy() const { return *this; }

    // Host side: build a record.
    void setUniqueValue(qint64 key);
    void setValue(unsigned int fieldId, const QVariant& value);
    bool hasValue(unsigned int fieldId) const;
    qint64 uniqueKey() const { return m_key; }
    // A numeric field as a double without going through a variant;
    // fallback when the record lacks it or it holds no number.
    // The quote fields are read inline: bar conversions read them for every
    // record.
    double numberValue(unsigned int fieldId, double fallback) const
    {
        const int slot = quoteSlot(fieldId);
        if (slot >= 0 && (m_present >> slot & 1)) {
            const Number& n = m_quote[size_t(slot)];
            return (m_integral >> slot & 1) ? double(n.integer) : n.real;
        }
        return otherNumberValue(fieldId, fallback);
    }

private:
    static constexpr unsigned int kFirstQuoteField = 33010;
    static constexpr unsigned int kLastQuoteField = 33130;
    static constexpr int kQuoteSlots = (kLastQuoteField - kFirstQuoteField) / 10 + 1;

    static int quoteSlot(unsigned int fieldId)
    {
        if (fieldId < kFirstQuoteField || fieldId > kLastQuoteField || fieldId % 10 != 0)
            return -1;
        return int((fieldId - kFirstQuoteField) / 10);
    }
    double otherNumberValue(unsigned int fieldId, double fallback) const;
    void removeOther(unsigned int fieldId);

    union Number {
        double real;
        qint64 integer;
    };

    qint64 m_key = 0;
    // The key text is made on first demand: most keys are never read as text.
    mutable QString m_keyText;
    mutable bool m_keyTextValid = false;
    quint16 m_present = 0;   // bit per quote slot holding a number
    quint16 m_integral = 0;  // bit per quote slot holding an integer
    std::array<Number, kQuoteSlots> m_quote{};
    QVector<QPair<unsigned int, QVariant>> m_other;
};

} // namespace ZtUIDataStruct
