#include "PBDataChange.h"

#include "ZtFeedCsv.h"
#include "ZtInstrumentRegistry.h"
#include "ZtSeriesAlign.h"

#include <cmath>

using namespace ZtUIDataStruct;

namespace {

// Stored copy of a host list, each record stamped with the float shares in
// force at it.
DQDDataList stampedCopy(const DQDDataList& list, const ZtInstrument& inst)
{
    DQDDataList copy;
    copy.reserve(list.count());
    for (int i = 0; i < list.count(); ++i) {
        DQDUnionReader r = list.at(i)->copy();
        const double shares = r.uniqueKey() > 0 ? inst.floatSharesAt(r.uniqueKey()) : 0.0;
        if (shares > 0)
            r.setValue(eZtFieldFloatShares, shares);
        copy.append(r);
    }
    return copy;
}

DQDDataList leading(const DQDDataList& list, int end)
{
    if (end >= list.count())
        return list;
    DQDDataList out;
    out.reserve(end);
    for (int i = 0; i < end; ++i)
        out.append(*list.at(i));
    return out;
}

bool attachFeed(const QString& code, const QString& path, const QStringList& columns,
                ZtFeedTable ZtInstrument::*feed, QString* error)
{
    ZtInstrument* inst = ZtInstrumentRegistry::findMutable(code);
    if (!inst) {
        if (error)
            *error = QStringLiteral("%1: no registered instrument \"%2\"").arg(path, code);
        return false;
    }
    ZtFeedTable table;
    if (!ZtFeedCsv::read(path, columns, &table, error))
        return false;
    inst->*feed = table;
    return true;
}

} // namespace

void PBDataChange::registerInstrument(const QString& code, const QString& name,
                                      const DQDDataList& daily, const DQDDataList& minutes,
                                      const QMap<qint64, double>& floatSharesByDate)
{
    if (code.isEmpty())
        return;
    ZtInstrument& inst = ZtInstrumentRegistry::instruments()[code];
    inst.code = code;
    inst.name = name;
    inst.floatShares.clear();
    for (auto it = floatSharesByDate.constBegin(); it != floatSharesByDate.constEnd(); ++it) {
        if (it.key() > 0 && std::isfinite(it.value()) && it.value() > 0)
            inst.floatShares.insert(ZtInstrument::normalizedTime(it.key()), it.value());
    }
    inst.daily = stampedCopy(daily, inst);
    inst.minutes = stampedCopy(minutes, inst);
}

void PBDataChange::clearInstruments()
{
    ZtInstrumentRegistry::instruments().clear();
}

bool PBDataChange::hasInstrument(const QString& code)
{
    return ZtInstrumentRegistry::find(code) != nullptr;
}

double PBDataChange::floatSharesAt(const QString& code, qint64 time)
{
    const ZtInstrument* inst = ZtInstrumentRegistry::find(code);
    return inst ? inst->floatSharesAt(time) : 0.0;
}

bool PBDataChange::attachFundFlowFeed(const QString& code, const QString& csvPath,
                                      QString* error)
{
    return attachFeed(code, csvPath, {QStringLiteral("bigbuy"), QStringLiteral("bigsell")},
                      &ZtInstrument::fundFlow, error);
}

bool PBDataChange::attachPowerFeed(const QString& code, const QString& csvPath, QString* error)
{
    return attachFeed(code, csvPath, {QStringLiteral("buyer"), QStringLiteral("seller")},
                      &ZtInstrument::power, error);
}

bool PBDataChange::attachChipLockFeed(const QString& code, const QString& csvPath,
                                      QString* error)
{
    return attachFeed(code, csvPath,
                      {QStringLiteral("5dpjl"), QStringLiteral("sdlCJ"), QStringLiteral("sdlWT"),
                       QStringLiteral("spj"), QStringLiteral("sdl"), QStringLiteral("d5lb")},
                      &ZtInstrument::chipLock, error);
}

bool PBDataChange::attachMarginFeed(const QString& code, const QString& csvPath, QString* error)
{
    return attachFeed(code, csvPath,
                      {QStringLiteral("rzye"), QStringLiteral("rqye"), QStringLiteral("rzrqye")},
                      &ZtInstrument::margin, error);
}

Q_DD_Now PBDataChange::LBDG_QNowSingle(const QString& code, bool /*refresh*/)
{
    Q_DD_Now now;
    const ZtInstrument* inst = ZtInstrumentRegistry::find(code);
    if (inst) {
        for (int i = inst->daily.count() - 1; i >= 0; --i) {
            const DQDUnionReader* bar = inst->daily.at(i);
            if (bar->uniqueKey() > 0) {
                static_cast<DQDUnionReader&>(now) = *bar;
                break;
            }
        }
        now.name = inst->name;
        now.setValue(eZtFieldName, inst->name);
    }
    now.code = code;
    now.setValue(eZtFieldCode, code);
    return now;
}

DQDDataList PBDataChange::LBGD_Kline(const DQDUnionReader& reader, ZtE_Period period,
                                     ZtE_DIVID /*divid*/, bool /*refresh*/, qint64 endTime)
{
    const ZtInstrument* inst = ZtInstrumentRegistry::find(instrumentCode(reader));
    if (!inst || period != eZtPeriodDay)
        return DQDDataList();
    return leading(inst->daily, ZtSeriesAlign::endOf(inst->daily, endTime));
}

DQDDataList PBDataChange::LBGD_Dline(const DQDUnionReader& reader, bool /*withAuction*/,
                                     bool /*refresh*/, qint64 endTime)
{
    const ZtInstrument* inst = ZtInstrumentRegistry::find(instrumentCode(reader));
    if (!inst)
        return DQDDataList();
    return leading(inst->minutes, ZtSeriesAlign::endOf(inst->minutes, endTime));
}

QString PBDataChange::instrumentCode(const DQDReader& reader)
{
    return reader.getValue(eZtFieldCode).toString();
}
