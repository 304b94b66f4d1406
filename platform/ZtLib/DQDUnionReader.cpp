#include "DQDUnionReader.h"

namespace ZtUIDataStruct {

int DQDUnionReader::quoteSlot(unsigned int fieldId)
{
    if (fieldId < kFirstQuoteField || fieldId > kLastQuoteField || fieldId % 10 != 0)
        return -1;
    return int((fieldId - kFirstQuoteField) / 10);
}

QVariant DQDUnionReader::getValue(unsigned int fieldId) const
{
    const int slot = quoteSlot(fieldId);
    if (slot >= 0)
        return m_quote[size_t(slot)];
    for (const auto& f : m_other) {
        if (f.first == fieldId)
            return f.second;
    }
    return QVariant();
}

QString DQDUnionReader::getUniqueValue(int index) const
{
    return index == 0 ? m_keyText : QString();
}

void DQDUnionReader::setUniqueValue(qint64 key)
{
    m_key = key;
    m_keyText = QString::number(key);
}

void DQDUnionReader::setValue(unsigned int fieldId, const QVariant& value)
{
    const int slot = quoteSlot(fieldId);
    if (slot >= 0) {
        m_quote[size_t(slot)] = value;
        return;
    }
    for (auto& f : m_other) {
        if (f.first == fieldId) {
            f.second = value;
            return;
        }
    }
    m_other.append(qMakePair(fieldId, value));
}

bool DQDUnionReader::hasValue(unsigned int fieldId) const
{
    return getValue(fieldId).isValid();
}

} // namespace ZtUIDataStruct
