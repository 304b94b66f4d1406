#pragma once

#include "DQDReader.h"

#include <QVector>
#include <array>

namespace ZtUIDataStruct {

// One quote record. The price fields 33010 … 33130 live in a fixed array,
// any other field in a small list, so that reading a bar during a repaint
// touches no hash table.
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

private:
    static constexpr unsigned int kFirstQuoteField = 33010;
    static constexpr unsigned int kLastQuoteField = 33130;
    static constexpr int kQuoteSlots = (kLastQuoteField - kFirstQuoteField) / 10 + 1;

    static int quoteSlot(unsigned int fieldId);

    qint64 m_key = 0;
    QString m_keyText = QStringLiteral("0");
    std::array<QVariant, kQuoteSlots> m_quote;
    QVector<QPair<unsigned int, QVariant>> m_other;
};

} // namespace ZtUIDataStruct
