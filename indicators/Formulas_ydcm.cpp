// The moving chip distribution: profiles of the data service turned into
// chip lines, with the key figures and time layers of the distribution.

#include "Formulas.h"

#include <DataTrans.h>
#include <PBDataChange.h>
#include <PubCacheCustom.h>
#include <ZtZB_Ydcmjs.h>

#include <QColor>
#include <QMap>
#include <QStringList>

#include <algorithm>

using ZtUIDataStruct::DataTrans;
using ZtUIDataStruct::DQDUnionReader;
using ZtUIDataStruct::PubCacheCustom;

namespace {

constexpr int kPriceDecimals = 5;

using Layer = ClientData::YdcmSjfb;

// The first layer of all chips (id 0) in a record; null when it has none.
const Layer* allChipsLayer(const ClientData::YdcmData& record)
{
    for (const Layer& layer : record.rdydcmsjfb()) {
        if (layer.id() == 0)
            return &layer;
    }
    return nullptr;
}

double price(const ClientData::YdcmJgfb& row)
{
    return DataTrans::getValueFromLL(row.price(), kPriceDecimals);
}

double largestVolume(const QList<QPair<double, double>>& rows)
{
    double largest = kZtNoValue;
    for (const auto& row : rows)
        largest = std::max(largest, row.second);
    return largest;
}

// Rows ordered by price; a later row at a price already met replaces it.
QList<QPair<double, double>> orderedRows(const Layer& layer)
{
    QMap<double, double> byPrice;
    for (const auto& row : layer.rdydcmjgfb())
        byPrice.insert(price(row), row.volume());
    QList<QPair<double, double>> rows;
    rows.reserve(byPrice.size());
    for (auto it = byPrice.constBegin(); it != byPrice.constEnd(); ++it)
        rows.append(qMakePair(it.key(), it.value()));
    return rows;
}

// The default table's chip colours; the user's table has no say in them.
QStringList chipColours(ZtE_YDCMJS_OUT_TYPE outType)
{
    const QString key =
        outType == eZtYdcmOutOlder ? QStringLiteral("KLineYDCMN") : QStringLiteral("KLineYDCMQ");
    return PubCacheCustom::mDefultColor.value(key);
}

} // namespace

void Formulas::eFT_YDCM(const QString& code, qint64 key, int count, const QVector<int>& periods,
                        ZtE_YDCMJS_OUT_TYPE outType, ZtE_YDCMJS_CMFB_TYPE cmfbType, double ratio)
{
    if (!m_data)
        return;
    const DQDUnionReader reader(PBDataChange::LBDG_QNowSingle(code, false));
    fillYdcm(ZtZB_Ydcmjs::Ydcmjs(*m_data, reader, key, outType, count, cmfbType, ratio, periods),
             outType, cmfbType);
}

void Formulas::fillYdcm(const ClientData::ClientDataMSG& msg, ZtE_YDCMJS_OUT_TYPE outType,
                        ZtE_YDCMJS_CMFB_TYPE cmfbType)
{
    // The distribution shown is that of the last record with all its chips.
    const ClientData::YdcmData* chosen = nullptr;
    const Layer* all = nullptr;
    for (const ClientData::YdcmData& record : msg.rdydcmdata()) {
        if (const Layer* layer = allChipsLayer(record)) {
            chosen = &record;
            all = layer;
        }
    }
    if (!chosen)
        return;

    m_ydcmInfo.insert(QStringLiteral("date"), QVariant(qint64(chosen->date())));
    m_ydcmInfo.insert(QStringLiteral("hlbl"), chosen->hlbl());
    m_ydcmInfo.insert(QStringLiteral("pjcb"), chosen->pjcb());
    m_ydcmInfo.insert(QStringLiteral("p90min"), chosen->p90min());
    m_ydcmInfo.insert(QStringLiteral("p90max"), chosen->p90max());
    m_ydcmInfo.insert(QStringLiteral("p90jzd"), chosen->p90jzd());
    m_ydcmInfo.insert(QStringLiteral("p70min"), chosen->p70min());
    m_ydcmInfo.insert(QStringLiteral("p70max"), chosen->p70max());
    m_ydcmInfo.insert(QStringLiteral("p70jzd"), chosen->p70jzd());

    QStringList colours = chipColours(outType);
    for (const Layer& layer : chosen->rdydcmsjfb()) {
        if (layer.id() == 0)
            continue;
        m_ydcmLayers.append(qMakePair(int(layer.id()), layer.share()));
        formulaLine line(QStringLiteral("ydcm_") + QString::number(layer.id()), eYDCM,
                         nextListPen(), true);
        line.chipRows = orderedRows(layer);
        // The largest of the rows kept: a row replaced by a later one at the
        // same price no longer sets the profile's scale.
        line.chipMax = largestVolume(line.chipRows);
        // Layers beyond the list keep their "FormulasList" pen.
        if (!colours.isEmpty()) {
            QColor c;
            c.setNamedColor(colours.takeFirst());
            line.pen.setColor(c);
        }
        line.chipType = cmfbType;
        addLine(std::move(line));
    }

    if (m_lines.isEmpty() && m_ydcmLayers.isEmpty()) {
        // All chips as one profile, rows as the service gave them.
        formulaLine line(QStringLiteral("ydcm"), eYDCM, nextListPen(), true);
        for (const auto& row : all->rdydcmjgfb())
            line.chipRows.append(qMakePair(price(row), row.volume()));
        line.chipMax = largestVolume(line.chipRows);
        line.chipType = cmfbType;
        addLine(std::move(line));
    }
}
