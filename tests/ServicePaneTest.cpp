// Panes of the data-service indicators: fund flow, buying and selling power,
// chip lock and margin, over instruments registered with hand-made bars and
// feeds and over intraday minutes.

#include "LiveUpdateDriver.h"
#include "TestKit.h"

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

namespace {

// Trading-day keys: weekdays from 2023-01-02 on.
QVector<QDate> tradingDays(int n)
{
    QVector<QDate> days;
    for (QDate d(2023, 1, 2); days.size() < n; d = d.addDays(1)) {
        if (d.dayOfWeek() <= 5)
            days.append(d);
    }
    return days;
}

DQDDataList barsOn(const QVector<QDate>& days)
{
    DQDDataList list;
    for (int i = 0; i < days.size(); ++i)
        list.append(bar(testkit::dayKey(days[i]), 9.0 + i % 3, 11.0, 10.0, 1000.0 + i));
    return list;
}

// A feed with one row per day from `first` on, the row of `skip` left out;
// row j's column c (from 1) holds 10·c + j.
QByteArray feedText(const char* header, const QVector<QDate>& days, int first, int skip)
{
    QByteArray text = QByteArray(header) + '\n';
    for (int i = first; i < days.size(); ++i) {
        if (i == skip)
            continue;
        text += days[i].toString(QStringLiteral("yyyyMMdd")).toLatin1();
        for (int c = 1; c <= QByteArray(header).count(','); ++c)
            text += ',' + QByteArray::number(10 * c + i - first);
        text += '\n';
    }
    return text;
}

class ServicePane : public ::testing::Test
{
protected:
    void SetUp() override { PBDataChange::clearInstruments(); }
    void TearDown() override { PBDataChange::clearInstruments(); }

    static void compute(F& pane, DQDDataList* list, const QString& code, int first, int count)
    {
        pane.setRect(0, 0, 400, 100);
        pane.setData(list);
        pane.m_codeList = QStringList{code};
        pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        pane.setRange(first, count);
    }

    QTemporaryDir m_dir;
};


// Over intraday minutes the call-auction band makes a pane compute from
// index 15 on.
constexpr int kAuction = 15;
constexpr int kSlots = 241;

// A day of minutes: the first `traded` of its slots (09:30 … 11:30, 13:01 …
// 15:00) with prices that go up and down and amounts with a few big ones,
// the rest not traded yet (key −1).
void appendDay(DQDDataList* list, qint64 day, int traded, double base)
{
    for (int i = 0; i < kSlots; ++i) {
        const QTime t = i <= 120 ? QTime(9, 30).addSecs(60 * i) : QTime(13, 1).addSecs(60 * (i - 121));
        const double open = base + 0.01 * (i % 7);
        const double close = open + (i % 3 == 0 ? 0.02 : -0.01);
        const double amount = (i % 11 == 0 ? 90000.0 : 3000.0) + 10.0 * i;
        const qint64 key = day * 1000000 + t.hour() * 10000 + t.minute() * 100;
        list->append(i < traded ? minute(key, open, close, amount) : testkit::record(-1));
    }
}

class ServicePaneIntraday : public ServicePane
{
protected:
    void SetUp() override
    {
        ServicePane::SetUp();
        // The 15 call-auction slots, without data as a loader leaves them.
        for (int i = 0; i < kAuction; ++i)
            m_shown.append(emptySlot());
        appendDay(&m_shown, 20240912, 200, 10.0);
    }
    // One day shows the auction band; several days do not.
    void computeMinutes(F& pane, const QString& code, DQDDataList* list = nullptr, int days = 1)
    {
        list = list ? list : &m_shown;
        pane.setIsDLine(true);
        pane.setShowJHJJ(days == 1);
        pane.setShowDRFS(days);
        compute(pane, list, code, 0, list->count());
    }

    DQDDataList m_shown; // auction band + one day of which 200 minutes traded
};

} // namespace

TEST_F(ServicePane, FeedRowsFillTheBarsTheyCover)
{
    // 40 days; rows from day 5 on, row j's column c holding 10·c + j, and
    // one day left out (the service marks it).
    using Attach = bool (*)(const QString&, const QString&, QString*);
    const struct
    {
        F::enumFormulaType type;
        Attach attach;
        const char* header;
        int skip;
        QStringList names;
        int netLine; // buying less selling; −1: none
        int stickLine;
    } feeds[] = {
        {F::eFT_ZJLX, PBDataChange::attachFundFlowFeed, "date,bigbuy,bigsell", 12, {"大买单", "大卖单", "净额"}, 2, 2},
        {F::eFT_MMLD, PBDataChange::attachPowerFeed, "date,buyer,seller", 12, {"大买方", "大卖方", "净额"}, 2, 2},
        {F::eFT_CMSD, PBDataChange::attachChipLockFeed, "date,5dpjl,sdlCJ,sdlWT,spj,sdl,d5lb", -1,
         {"5dpjl", "sdlCJ", "sdlWT", "spj", "sdl", "d5lb"}, -1, -1},
        // The total is the feed's, not the sum of the two balances.
        {F::eFT_RZRQ, PBDataChange::attachMarginFeed, "date,rzye,rqye,rzrqye", 12,
         {"融资余额", "融券余额", "融资融券余额"}, -1, 2},
    };
    const QVector<QDate> days = tradingDays(40);
    DQDDataList bars = barsOn(days);
    for (const auto& f : feeds) {
        SCOPED_TRACE(f.header);
        const QString code = QString::number(int(f.type));
        PBDataChange::registerInstrument(code, code, bars, DQDDataList(), {});
        QString error;
        const QString path = writeFile(m_dir, code + ".csv", feedText(f.header, days, 5, f.skip));
        ASSERT_TRUE(f.attach(code, path, &error)) << qPrintable(error);
        F pane(f.type);
        // The range spans every shown value, and the shown ones only.
        for (const auto& [first, count] : {std::pair{0, 40}, {10, 10}}) {
            compute(pane, &bars, code, first, count);
            ASSERT_EQ(testkit::lineNames(pane.formulaLines()), f.names);
            double lo = 1e9, hi = -1e9;
            for (int c = 0; c < f.names.size(); ++c) {
                QList<float> expected;
                for (int k = 0; k < 40; ++k)
                    expected.append(k < 5 || k == f.skip ? kMarker : c == f.netLine ? -10.0f : float(10 * (c + 1) + k - 5));
                const Formulas::formulaLine* l = pane.formulaLines().lineAt(c);
                EXPECT_EQ(l->values, expected) << c;
                EXPECT_EQ(std::make_pair(l->drawType, l->showValue), std::make_pair(int(c == f.stickLine ? eCOLORSTICK : eLINE), true));
                for (int k = first; k < first + count; ++k) {
                    if (expected[k] != kMarker)
                        lo = std::min(lo, double(expected[k])), hi = std::max(hi, double(expected[k]));
                }
            }
            EXPECT_EQ(std::make_pair(pane.minReference(), pane.maxReference()), std::make_pair(lo, hi)) << first;
        }
        const QImage img = testkit::painted(pane, 400, 100);
        EXPECT_GT(testkit::countInk(img, img.rect()), 400); // more than a line's worth
    }
    // Margin is for K-line panes only.
    F minutes(F::eFT_RZRQ);
    minutes.setIsDLine(true);
    compute(minutes, &bars, QString::number(int(F::eFT_RZRQ)), 0, 40);
    EXPECT_EQ(minutes.formulaLines().lineCount(), 0);
    EXPECT_EQ(std::make_pair(minutes.minReference(), minutes.maxReference()), std::make_pair(kZtNoValueMax, kZtNoValue));
}

TEST_F(ServicePane, MissingAnswersLeaveTheLinesWithoutValues)
{
    DQDDataList bars = barsOn(tradingDays(10));
    F pane(F::eFT_ZJLX);
    compute(pane, &bars, "unknown", 0, 10);
    ASSERT_EQ(pane.formulaLines().lineCount(), 3);
    EXPECT_TRUE(pane.formulaLines().lineAt(0)->values.isEmpty());
    EXPECT_DOUBLE_EQ(pane.maxReference(), kZtNoValue);

    // Only the first output and its first series count; an output without
    // a series gives no values.
    Formulas f;
    f.setup(&bars, false, 0, 0, 10, 2);
    PROTO_Glintsvc::MSG msg;
    msg.add_repdatazhibiaofuwuoutput();
    msg.add_repdatazhibiaofuwuoutput()->add_data()->add_maimailidaofendang()->set_buyer(7.0);
    f.fillPower(msg);
    ASSERT_EQ(f.lineCount(), 3);
    EXPECT_TRUE(f.lineAt(0)->values.isEmpty());

    msg.mutable_repdatazhibiaofuwuoutput(0)->add_data()->add_maimailidaofendang()->set_buyer(3.0);
    msg.mutable_repdatazhibiaofuwuoutput(0)->add_data()->add_maimailidaofendang()->set_buyer(9.0);
    f.setup(&bars, false, 0, 0, 10, 2);
    f.fillPower(msg);
    EXPECT_EQ(f.lineAt(0)->values.mid(8), QList<float>({kMarker, 3.0f}));

    // The net has no value where either side has none.
    PROTO_Glintsvc::MSG flow;
    auto* rec = flow.add_repdatazhibiaofuwuoutput()->add_data()->add_zijinliuxiangfendang();
    rec->set_bigbuy(kZtNoValueMax);
    rec->set_bigsell(0.5);
    rec = flow.mutable_repdatazhibiaofuwuoutput(0)->mutable_data(0)->add_zijinliuxiangfendang();
    rec->set_bigbuy(2.0);
    rec->set_bigsell(kZtNoValue);
    f.setup(&bars, false, 0, 0, 10, 2);
    f.fillFundFlow(flow);
    EXPECT_EQ(f.lineAt(2)->values.mid(8), QList<float>({kMarker, kMarker}));
    EXPECT_EQ(f.lineAt(0)->values[9], 2.0f);
}

TEST_F(ServicePaneIntraday, AuctionBandPanesStartAtTheOpeningMinute)
{
    // "A" knows exactly the minutes shown, "B" the day without the band and
    // "C" the day before as well, records older than the shown data: all
    // three align to the same slots.
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
        computeMinutes(a, "A");
        computeMinutes(b, "B");
        computeMinutes(c, "C");
        ASSERT_EQ(a.formulaLines().lineCount(), 3);
        EXPECT_EQ(liveupdate::comparePanes(a, b).toStdString(), "") << type;
        EXPECT_EQ(liveupdate::comparePanes(a, c).toStdString(), "") << type;

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
    computeMinutes(lock, "A");
    ASSERT_EQ(lock.formulaLines().lineCount(), 6);
    EXPECT_EQ(lock.formulaLines().lineAt(5)->values.size(), kAuction);

    // Two days show no band: the pane lines up with the service from its
    // first minute.
    F multi(F::eFT_ZJLX);
    computeMinutes(multi, "C", &twoDays, 2);
    const auto msg = ZtZB_Cmsdl::getDlineCJMX_FD(readerOf("C"), 0);
    QList<float> sell;
    for (const auto& r : msg.repdatazhibiaofuwuoutput(0).data(0).zijinliuxiangfendang())
        sell << float(r.bigsell());
    ASSERT_EQ(sell.size(), twoDays.count());
    EXPECT_EQ(multi.formulaLines().lineAt(1)->values, sell);
}
