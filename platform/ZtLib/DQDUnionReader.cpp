#include "DQDUnionReader.h"

namespace ZtUIDataStruct {

namespace {

bool isIntegral(int type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool isReal(int type)
{
    return type == QMetaType::Double || type == QMetaType::Float;
}

} // namespace

QVariant DQDUnionReader::getValue(unsigned int fieldId) const
{
    const int slot = quoteSlot(fieldId);
    if (slot >= 0 && (m_present >> slot & 1)) {
        const Number& n = m_quote[size_t(slot)];
        return (m_integral >> slot & 1) ? QVariant(qlonglong(n.integer)) : QVariant(n.real);
    }
    for (const auto& f : m_other) {
        if (f.first == fieldId)
            return f.second;
    }
    return QVariant();
}

double DQDUnionReader::otherNumberValue(unsigned int fieldId, double fallback) const
{
    if (m_other.isEmpty())
        return fallback;
    const QVariant v = getValue(fieldId);
    if (!v.isValid())
        return fallback;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : fallback;
}

QString DQDUnionReader::getUniqueValue(int index) const
{
    if (index != 0)
        return QString();
    if (!m_keyTextValid) {
        m_keyText = QString::number(m_key);
        m_keyTextValid = true;
    }
    return m_keyText;
}

void DQDUnionReader::setUniqueValue(qint64 key)
{
    m_key = key;
    m_keyTextValid = false;
    m_keyText.clear();
}

void DQDUnionReader::setValue(unsigned int fieldId, const QVariant& value)
{
    const int slot = quoteSlot(fieldId);
    if (slot >= 0) {
        const quint16 bit = quint16(1u << slot);
        m_present &= quint16(~bit);
        m_integral &= quint16(~bit);
        const int type = value.userType();
        if (isIntegral(type)) {
            m_quote[size_t(slot)].integer = value.toLongLong();
            m_present |= bit;
            m_integral |= bit;
            removeOther(fieldId);
            return;
        }
        if (isReal(type)) {
            m_quote[size_t(slot)].real = value.toDouble();
            m_present |= bit;
            removeOther(fieldId);
            return;
        }
        // Anything else (text, an invalid variant) is kept as it came.
    }
    for (auto& f : m_other) {
        if (f.first == fieldId) {
            f.second = value;
            return;
        }
    }
    m_other.append(qMakePair(fieldId, value));
}

void DQDUnionReader::removeOther(unsigned int fieldId)
{
    for (int i = 0; i < m_other.size(); ++i) {
        if (m_other.at(i).first == fieldId) {
            m_other.remove(i);
            return;
        }
    }
}

bool DQDUnionReader::hasValue(unsigned int fieldId) const
{
    return getValue(fieldId).isValid();
}

} // namespace ZtUIDataStruct
