// Data-service panes over intraday minutes, where the call-auction band makes
// the pane compute from index 15 on.

#include "TestKit.h"

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

namespace {

constexpr int kAuction = 15;
constexpr int kSlots = 241;

// The 241 minute slots of a day: 09:30 … 11:30, 13:01 … 15:00 (HHmm).
QVector<int> slotTimes()
{
    QVector<int> t;
    for (int m = 9 * 60 + 30; m <= 11 * 60 + 30; ++m)
        t.append(m / 60 * 100 + m % 60);
    for (int m = 13 * 60 + 1; m <= 15 * 60; ++m)
        t.append(m / 60 * 100 + m % 60);
    return t;
}

// A day of minutes: the first `traded` slots with prices that go up and
// down and amounts with a few big ones, the rest not traded yet (key −1).
void appendDay(DQDDataList* list, qint64 day, int traded, double base)
{
    const QVector<int> times = slotTimes();
    for (int i = 0; i < kSlots; ++i) {
        if (i >= traded) {
            list->append(testkit::record(-1));
            continue;
        }
        const double open = base + 0.01 * (i % 7);
        const double close = open + (i % 3 == 0 ? 0.02 : -0.01);
        const double amount = (i % 11 == 0 ? 90000.0 : 3000.0) + 10.0 * i;
        list->append(minute(day * 1000000 + times[i] * 100LL, open, close, amount));
    }
}

class ServicePaneIntraday : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PBDataChange::clearInstruments();
        // The 15 call-auction slots, without data as a loader leaves them.
        for (int i = 0; i < kAuction; ++i)
            m_shown.append(emptySlot());
        appendDay(&m_shown, 20240912, 200, 10.0);
    }
    void TearDown() override { PBDataChange::clearInstruments(); }

    // One day shows the auction band; several days do not.
    void compute(F& pane, const QString& code, DQDDataList* list = nullptr, int days = 1)
    {
        list = list ? list : &m_shown;
        pane.setRect(0, 0, 480, 100);
        pane.setIsDLine(true);
        pane.setShowJHJJ(days == 1);
        pane.setShowDRFS(days);
        pane.setData(list);
        pane.m_codeList = QStringList{code};
        pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        pane.setRange(0, list->count());
    }

    // The values of every line of a pane.
    static QList<QList<float>> valuesOf(const F& pane)
    {
        QList<QList<float>> all;
        for (int i = 0; i < pane.formulaLines().lineCount(); ++i)
            all.append(pane.formulaLines().lineAt(i)->values);
        return all;
    }

    DQDDataList m_shown; // auction band + one day of which 200 minutes traded
};

} // namespace

TEST_F(ServicePaneIntraday, AuctionBandPanesStartAtTheOpeningMinute)
{
    // "A" knows exactly the minutes shown, "B" the day without the band and
    // "C" the day before as well: all three align to the same slots.
    PBDataChange::registerInstrument("A", "A", DQDDataList(), m_shown, {});
    DQDDataList day;
    appendDay(&day, 20240912, 200, 10.0);
    PBDataChange::registerInstrument("B", "B", DQDDataList(), day, {});
    DQDDataList twoDays;
    appendDay(&twoDays, 20240911, kSlots, 9.0);
    appendDay(&twoDays, 20240912, 200, 10.0);
    PBDataChange::registerInstrument("C", "C", DQDDataList(), twoDays, {});

    for (F::enumFormulaType type : {F::eFT_ZJLX, F::eFT_MMLD}) {
        F a(type), b(type), c(type);
        compute(a, "A");
        compute(b, "B");
        compute(c, "C");
        ASSERT_EQ(a.formulaLines().lineCount(), 3);
        EXPECT_EQ(valuesOf(a), valuesOf(b)) << type;
        EXPECT_EQ(valuesOf(a), valuesOf(c)) << type;

        // Slot 15 + i holds the service's record of minute i, untraded
        // minutes included.
        const DQDUnionReader reader = readerOf("B");
        const auto msg = type == F::eFT_ZJLX ? ZtZB_Cmsdl::getDlineCJMX_FD(reader, 0)
                                             : ZtZB_Cmsdl::getDlineMMLD_FD(reader, 0);
        const auto& data = msg.repdatazhibiaofuwuoutput(0).data(0);
        QList<float> buy = QVector<float>(kAuction, kMarker).toList();
        for (int i = 0; i < kSlots; ++i)
            buy << float(type == F::eFT_ZJLX ? data.zijinliuxiangfendang(i).bigbuy()
                                             : data.maimailidaofendang(i).buyer());
        EXPECT_EQ(buy.last(), kMarker);
        EXPECT_EQ(a.formulaLines().lineAt(0)->values, buy) << type;
        // The range comes from the traded minutes.
        EXPECT_GT(a.maxReference(), a.minReference());
    }

    // Chip lock without a feed: lines with the auction band's markers only.
    F lock(F::eFT_CMSD);
    compute(lock, "A");
    ASSERT_EQ(lock.formulaLines().lineCount(), 6);
    EXPECT_EQ(lock.formulaLines().lineAt(5)->values.size(), kAuction);
}

TEST_F(ServicePaneIntraday, BandlessAndMultiDayPanesUseTheirOwnStart)
{
    DQDDataList twoDays;
    appendDay(&twoDays, 20240911, kSlots, 9.0);
    appendDay(&twoDays, 20240912, 120, 10.0);
    PBDataChange::registerInstrument("D", "D", DQDDataList(), twoDays, {});

    F pane(F::eFT_ZJLX);
    compute(pane, "D", &twoDays, 2);
    const auto msg = ZtZB_Cmsdl::getDlineCJMX_FD(readerOf("D"), 0);
    QList<float> sell;
    for (const auto& r : msg.repdatazhibiaofuwuoutput(0).data(0).zijinliuxiangfendang())
        sell << float(r.bigsell());
    ASSERT_EQ(sell.size(), twoDays.count());
    EXPECT_EQ(pane.formulaLines().lineAt(1)->values, sell);
}
