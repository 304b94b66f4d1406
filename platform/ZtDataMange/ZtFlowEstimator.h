#pragma once

#include "ZtDataMangeGlobal.h"

#include <DQDQuery.h>

#include <QMap>
#include <QVector>

// Estimates of fund flow and buying/selling power from intraday minutes, for
// instruments without a feed. They are estimates: minute bars do not tell
// who started a trade, so the side is inferred from the price.
//
// Amount of a minute: its eFieldAmount; when that is missing or not
// positive, volume × average price (eFieldAverage) or, without one,
// volume × close. Minutes are grouped into trading days by the date of their
// key; a key <= 0 marks an empty slot, which gets no estimate.
//
// Big orders (eBigOrders): a minute counts as a big order when its amount
// reaches kBigOrderFactor times the mean amount of that day's traded minutes.
// A big minute whose close rose against the previous minute's close (the
// day's first minute: against its own open) adds its amount to the buying
// side, one whose close fell adds it to the selling side, an unchanged one
// to neither.
//
// Power (ePower): every minute splits its amount by where the close lies in
// its high–low range: (close − low) ÷ (high − low) to the buying side, the
// rest to the selling side. A minute with no range uses the rule of big
// orders, and an unchanged one gives half to each side.
class ZTDATAMANGE_EXPORT ZtFlowEstimator
{
public:
    enum enumFlowKind { eBigOrders, ePower };

    struct Split
    {
        bool valid = false;  // false for an empty slot
        double buy = 0.0;    // yuan
        double sell = 0.0;   // yuan
    };

    static constexpr double kBigOrderFactor = 2.0;

    // One split per record of the list, in order.
    static QVector<Split> perMinute(const ZtUIDataStruct::DQDQuery& minutes, enumFlowKind kind);
    // The splits of each trading day summed, keyed by yyyyMMdd000000.
    static QMap<qint64, Split> perDay(const ZtUIDataStruct::DQDQuery& minutes, enumFlowKind kind);

private:
    struct Minute
    {
        qint64 key = 0;
        double open = 0.0, high = 0.0, low = 0.0, close = 0.0, amount = 0.0;
    };
    static Minute readMinute(const ZtUIDataStruct::DQDUnionReader& r);
    static void estimateDay(const QVector<Minute>& day, const QVector<int>& indices,
                            enumFlowKind kind, QVector<Split>* out);
};
