// Fund flow, buying and selling power, chip lock and margin: finished series
// from the data service, one record per bar, laid onto the last bars of the
// pane's data.

#include "Formulas.h"

#include <PBDataChange.h>
#include <ZtZB_Cmsdl.h>
#include <ZtZB_Rzrq.h>

#include <QVarLengthArray>

#include <algorithm>

using ZtUIDataStruct::DQDDataList;
using ZtUIDataStruct::DQDUnionReader;

namespace {

// The reader that names the instrument to every service call.
DQDUnionReader readerFor(const QString& code)
{
    return DQDUnionReader(PBDataChange::LBDG_QNowSingle(code, false));
}

// B − S, without a value when either side has none: two missing sides would
// otherwise cancel into a net of 0.
double net(double buy, double sell)
{
    if (ztIsNoValue(buy) || ztIsNoValue(sell))
        return kZtNoValue;
    return buy - sell;
}

// The per-bar series of a fund-flow or power answer: the first data element
// of the first output; null when the answer has none.
const PROTO_Glintsvc::ZhiBiaoFuWuData* firstSeries(const PROTO_Glintsvc::MSG& msg)
{
    if (msg.repdatazhibiaofuwuoutput_size() == 0)
        return nullptr;
    const PROTO_Glintsvc::ZhiBiaoFuWuOutput& out = msg.repdatazhibiaofuwuoutput(0);
    return out.data_size() == 0 ? nullptr : &out.data(0);
}

} // namespace

template <typename ValuesOf>
void Formulas::addAlignedRecords(const QVector<int>& lines, int records, ValuesOf valuesOf)
{
    if (!m_data || records <= 0)
        return;
    const int count = m_data->count();
    // Data index of record 0: the last record belongs to the last bar.
    const qint64 first = qint64(count) - records;
    const qint64 windowEnd = qint64(m_showIndex) + m_showLength;
    // A service answers for every bar, a hundred thousand of them: the
    // series are written directly, and only values of the shown window go
    // through the range (those past it must not stretch the shown scale).
    QVarLengthArray<QList<float>*, 8> series;
    for (int i : lines) {
        formulaLine* line = lineAt(i);
        series.append(line ? &line->values : nullptr);
    }
    QVarLengthArray<double, 8> values(lines.size());
    // The extremes of every record, for a later window (widenOverWindow):
    // the values are kept as floats, the range is cut from the doubles.
    m_rowLow.fill(kZtNoValueMax, count);
    m_rowHigh.fill(kZtNoValue, count);
    rowsChangedFrom(0);
    double* rowLow = m_rowLow.data();
    double* rowHigh = m_rowHigh.data();
    const auto addRow = [&]() {
        const bool shown = m_index >= m_showIndex && m_index < windowEnd;
        double low = kZtNoValueMax;
        double high = kZtNoValue;
        for (int i = 0; i < series.size(); ++i) {
            if (!series[i])
                continue;
            double v = values[i];
            if (ztIsNoValue(v)) {
                v = kZtNoValue;
            } else {
                if (shown && !wellInsideRange(v))
                    widenRange(truncToPrec(v, m_prec));
                low = std::min(low, v);
                high = std::max(high, v);
            }
            series[i]->append(float(v));
        }
        if (low <= high && m_index < count) {
            rowLow[m_index] = low;
            rowHigh[m_index] = high;
        }
        ++m_index;
    };

    // Indices before the first computed one already hold their markers
    // (addLine); a D-line pane computing from the opening minute starts its
    // lines there, and records older than the data are not shown at all.
    m_index = std::max(m_startIndex, 0);
    std::fill(values.begin(), values.end(), kZtNoValue);
    while (m_index < first)
        addRow();
    for (qint64 j = m_index - first; j < records; ++j) {
        std::fill(values.begin(), values.end(), kZtNoValue);
        valuesOf(int(j), values.data());
        addRow();
    }
}

// ---- fund flow and buying/selling power ------------------------------------------

void Formulas::eFT_ZJLX(const QString& code)
{
    const DQDUnionReader reader = readerFor(code);
    fillFundFlow(m_isDLine ? ZtZB_Cmsdl::getDlineCJMX_FD(reader, 0)
                           : ZtZB_Cmsdl::getKlineCJMX_FD(reader, 0));
}

void Formulas::eFT_MMLD(const QString& code)
{
    const DQDUnionReader reader = readerFor(code);
    fillPower(m_isDLine ? ZtZB_Cmsdl::getDlineMMLD_FD(reader, 0)
                        : ZtZB_Cmsdl::getKlineMMLD_FD(reader, 0));
}

void Formulas::fillFundFlow(const PROTO_Glintsvc::MSG& msg)
{
    const QVector<int> lines = {
        addLine(formulaLine(QStringLiteral("大买单"), eLINE, nextListPen(), true)),
        addLine(formulaLine(QStringLiteral("大卖单"), eLINE, nextListPen(), true)),
        addLine(formulaLine(QStringLiteral("净额"), eCOLORSTICK, nextListPen(), true)),
    };
    const PROTO_Glintsvc::ZhiBiaoFuWuData* series = firstSeries(msg);
    if (!series)
        return;
    const auto& recs = series->zijinliuxiangfendang();
    addAlignedRecords(lines, recs.size(), [&](int j, double* out) {
        const auto& r = recs.Get(j);
        out[0] = r.bigbuy();
        out[1] = r.bigsell();
        out[2] = net(r.bigbuy(), r.bigsell());
    });
}

void Formulas::fillPower(const PROTO_Glintsvc::MSG& msg)
{
    const QVector<int> lines = {
        addLine(formulaLine(QStringLiteral("大买方"), eLINE, nextListPen(), true)),
        addLine(formulaLine(QStringLiteral("大卖方"), eLINE, nextListPen(), true)),
        addLine(formulaLine(QStringLiteral("净额"), eCOLORSTICK, nextListPen(), true)),
    };
    const PROTO_Glintsvc::ZhiBiaoFuWuData* series = firstSeries(msg);
    if (!series)
        return;
    const auto& recs = series->maimailidaofendang();
    addAlignedRecords(lines, recs.size(), [&](int j, double* out) {
        const auto& r = recs.Get(j);
        out[0] = r.buyer();
        out[1] = r.seller();
        out[2] = net(r.buyer(), r.seller());
    });
}

// ---- chip lock ---------------------------------------------------------------

void Formulas::eFT_CMSD(const QString& code)
{
    const DQDUnionReader reader = readerFor(code);
    if (m_isDLine) {
        const DQDDataList minutes = PBDataChange::LBGD_Dline(reader, false, false, 0);
        fillChipLock(ZtZB_Cmsdl::getDlineCMSDL(minutes, reader, 0));
    } else {
        const DQDDataList bars =
            PBDataChange::LBGD_Kline(reader, eZtPeriodDay, eZtDividForward, false, 0);
        fillChipLock(ZtZB_Cmsdl::getKlineCMSDL(bars, reader, 0));
    }
}

void Formulas::fillChipLock(const ClientData::ClientDataMSG& msg)
{
    QVector<int> lines;
    for (const char* name : {"5dpjl", "sdlCJ", "sdlWT", "spj", "sdl", "d5lb"})
        lines.append(addLine(formulaLine(QLatin1String(name), eLINE, nextListPen(), true)));
    const auto& recs = msg.rdcmsdl();
    addAlignedRecords(lines, recs.size(), [&](int j, double* out) {
        const auto& r = recs.Get(j);
        out[0] = r.d5pjl();
        out[1] = r.sdlcj();
        out[2] = r.sdlwt();
        out[3] = r.spj();
        out[4] = r.sdl();
        out[5] = r.d5lb();
    });
}

// ---- margin ------------------------------------------------------------------

void Formulas::eFT_RZRQ(const QString& code)
{
    // The service keeps daily balances only; minute slots have none.
    if (m_isDLine)
        return;
    fillMargin(ZtZB_Rzrq::getKlineRZRQ(readerFor(code), 0));
}

void Formulas::fillMargin(const PROTO_F10Data::F10MSG& msg)
{
    const QVector<int> lines = {
        addLine(formulaLine(QStringLiteral("融资余额"), eLINE, nextListPen(), true)),
        addLine(formulaLine(QStringLiteral("融券余额"), eLINE, nextListPen(), true)),
        addLine(formulaLine(QStringLiteral("融资融券余额"), eCOLORSTICK, nextListPen(), true)),
    };
    if (msg.repdataf10dstxrzrqoutput_size() == 0)
        return;
    const auto& recs = msg.repdataf10dstxrzrqoutput(0).data();
    addAlignedRecords(lines, recs.size(), [&](int j, double* out) {
        const auto& r = recs.Get(j);
        out[0] = r.rzye();
        out[1] = r.rqye();
        // The total as the record gives it: it may hold more than the sum.
        out[2] = r.rzrqye();
    });
}
