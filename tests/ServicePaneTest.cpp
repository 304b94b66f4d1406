// Panes of the data-service indicators: fund flow, buying and selling power,
// chip lock and margin, over instruments registered with hand-made bars and
// feeds.

#include "TestKit.h"

#include <gtest/gtest.h>

#include <QDate>

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

namespace {

const float kMarker = float(kZtNoValue);

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

qint64 keyOf(const QDate& d)
{
    return d.toString(QStringLiteral("yyyyMMdd")).toLongLong() * 1000000;
}

DQDDataList barsOn(const QVector<QDate>& days)
{
    DQDDataList list;
    for (int i = 0; i < days.size(); ++i)
        list.append(bar(keyOf(days[i]), 9.0 + i % 3, 11.0, 10.0, 1000.0 + i));
    return list;
}

// A feed with one row per day from `first` on, the row of `skip` left out;
// row j holds the numbers values(j).
template <typename Values>
QByteArray feedText(const char* header, const QVector<QDate>& days, int first, Values values,
                    int skip = -1)
{
    QByteArray text = QByteArray(header) + '\n';
    for (int i = first; i < days.size(); ++i) {
        if (i == skip)
            continue;
        text += days[i].toString(QStringLiteral("yyyyMMdd")).toLatin1();
        for (double v : values(i - first))
            text += ',' + QByteArray::number(v, 'f', 2);
        text += '\n';
    }
    return text;
}

class ServicePane : public ::testing::Test
{
protected:
    void SetUp() override { PBDataChange::clearInstruments(); }
    void TearDown() override { PBDataChange::clearInstruments(); }

    // Registers `code` with `bars` and a feed made by attach from `text`.
    template <typename Attach>
    void registerWithFeed(const QString& code, const DQDDataList& bars, Attach attach,
                          const QByteArray& text)
    {
        PBDataChange::registerInstrument(code, code, bars, DQDDataList(), {});
        const QString path = writeFile(m_dir, code + ".csv", text);
        QString error;
        ASSERT_TRUE(attach(code, path, &error)) << qPrintable(error);
    }

    static void compute(F& pane, DQDDataList* list, const QString& code, int first, int count)
    {
        pane.setRect(0, 0, 400, 100);
        pane.setData(list);
        pane.m_codeList = QStringList{code};
        pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        pane.setRange(first, count);
    }

    static const Formulas::formulaLine* line(const F& pane, int i)
    {
        return pane.formulaLines().lineAt(i);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ServicePane, FundFlowRecordsFillTheLastBars)
{
    const QVector<QDate> days = tradingDays(250);
    DQDDataList bars = barsOn(days);
    // Rows for the last 240 days; row j: buy 1000 + j, sell 500 + 2j.
    const auto row = [](int j) { return QVector<double>{1000.0 + j, 500.0 + 2 * j}; };
    registerWithFeed("F", bars, PBDataChange::attachFundFlowFeed,
                     feedText("date,bigbuy,bigsell", days, 10, row));

    F pane(F::eFT_ZJLX);
    compute(pane, &bars, "F", 0, 250);
    ASSERT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"大买单", "大卖单", "净额"}));
    const int types[] = {eLINE, eLINE, eCOLORSTICK};
    for (int i = 0; i < 3; ++i) {
        const Formulas::formulaLine* l = line(pane, i);
        EXPECT_EQ(l->drawType, types[i]);
        EXPECT_TRUE(l->showValue);
        ASSERT_EQ(l->values.size(), 250);
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(l->values[k], kMarker) << "line " << i << " index " << k;
    }
    for (int j = 0; j < 240; ++j) {
        EXPECT_EQ(line(pane, 0)->values[10 + j], float(1000 + j));
        EXPECT_EQ(line(pane, 1)->values[10 + j], float(500 + 2 * j));
        EXPECT_EQ(line(pane, 2)->values[10 + j], float(500 - j));
    }
    // The range spans every shown value: net down to 500 − 239, buying up to 1239.
    EXPECT_DOUBLE_EQ(pane.minReference(), 261.0);
    EXPECT_DOUBLE_EQ(pane.maxReference(), 1239.0);

    // Scrolled back to indices 100 … 149 (rows 90 … 139): the later rows
    // stay in the lines but leave the scale to the shown ones.
    compute(pane, &bars, "F", 100, 50);
    EXPECT_EQ(line(pane, 0)->values.size(), 250);
    EXPECT_DOUBLE_EQ(pane.minReference(), 500.0 - 139);
    EXPECT_DOUBLE_EQ(pane.maxReference(), 1000.0 + 139);
}

TEST_F(ServicePane, RecordsOlderThanTheFirstBarAreLeftOut)
{
    // The service knows 260 days; the pane shows the last 250 of them.
    const QVector<QDate> days = tradingDays(260);
    DQDDataList all = barsOn(days);
    const auto row = [](int j) { return QVector<double>{100.0 * j, 1.0}; };
    registerWithFeed("L", all, PBDataChange::attachFundFlowFeed,
                     feedText("date,bigbuy,bigsell", days, 0, row));
    DQDDataList shown;
    for (int i = 10; i < 260; ++i)
        shown.append(*all.at(i));

    F pane(F::eFT_ZJLX);
    compute(pane, &shown, "L", 0, 250);
    ASSERT_EQ(pane.formulaLines().lineCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(line(pane, i)->values.size(), 250);
    // Bar k is day k + 10 and shows that day's row.
    EXPECT_EQ(QList<float>({line(pane, 0)->values.first(), line(pane, 0)->values.last(), line(pane, 2)->values.last()}),
              QList<float>({1000.0f, 25900.0f, 25899.0f}));
}

TEST_F(ServicePane, NetHasNoValueWhereEitherSideHasNone)
{
    const QVector<QDate> days = tradingDays(30);
    DQDDataList bars = barsOn(days);
    // No row for day 12: the service marks both sides there.
    const auto row = [](int j) { return QVector<double>{300.0 + j, 100.0}; };
    registerWithFeed("P", bars, PBDataChange::attachPowerFeed,
                     feedText("date,buyer,seller", days, 0, row, 12));

    F pane(F::eFT_MMLD);
    compute(pane, &bars, "P", 0, 30);
    ASSERT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"大买方", "大卖方", "净额"}));
    EXPECT_EQ(line(pane, 2)->drawType, eCOLORSTICK);
    EXPECT_EQ(line(pane, 0)->values[12], kMarker);
    EXPECT_EQ(line(pane, 2)->values.mid(11, 3), QList<float>({211.0f, kMarker, 213.0f}));

    // One side missing on a hand-made answer.
    Formulas f;
    f.setup(&bars, false, 0, 0, 30, 2);
    PROTO_Glintsvc::MSG msg;
    auto* rec = msg.add_repdatazhibiaofuwuoutput()->add_data()->add_zijinliuxiangfendang();
    rec->set_bigbuy(kNoValue);
    rec->set_bigsell(0.5);
    rec = msg.mutable_repdatazhibiaofuwuoutput(0)->mutable_data(0)->add_zijinliuxiangfendang();
    rec->set_bigbuy(2.0);
    rec->set_bigsell(kNoValue);
    f.fillFundFlow(msg);
    EXPECT_EQ(f.lineAt(2)->values[28], kMarker);
    EXPECT_EQ(f.lineAt(2)->values[29], kMarker);
    EXPECT_EQ(f.lineAt(0)->values[29], 2.0f);
}

TEST_F(ServicePane, ChipLockLinesFollowTheFeedColumns)
{
    const QVector<QDate> days = tradingDays(40);
    DQDDataList bars = barsOn(days);
    // Row j: column c holds 10·c + j.
    const auto row = [](int j) {
        QVector<double> v;
        for (int c = 1; c <= 6; ++c)
            v.append(10.0 * c + j);
        return v;
    };
    registerWithFeed("C", bars, PBDataChange::attachChipLockFeed,
                     feedText("date,5dpjl,sdlCJ,sdlWT,spj,sdl,d5lb", days, 5, row));

    F pane(F::eFT_CMSD);
    compute(pane, &bars, "C", 0, 40);
    ASSERT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"5dpjl", "sdlCJ", "sdlWT", "spj", "sdl", "d5lb"}));
    for (int c = 0; c < 6; ++c) {
        const Formulas::formulaLine* l = line(pane, c);
        EXPECT_EQ(l->drawType, eLINE);
        ASSERT_EQ(l->values.size(), 40);
        EXPECT_EQ(QList<float>({l->values[4], l->values[5], l->values[39]}),
                  QList<float>({kMarker, float(10 * (c + 1)), float(10 * (c + 1) + 34)}));
    }
}

TEST_F(ServicePane, MarginIsForKLinePanesOnlyAndKeepsTheGivenTotal)
{
    const QVector<QDate> days = tradingDays(20);
    DQDDataList bars = barsOn(days);
    // The total is not the sum of the two balances.
    const auto row = [](int j) { return QVector<double>{1000.0 + j, 20.0, 5000.0 + j}; };
    registerWithFeed("M", bars, PBDataChange::attachMarginFeed,
                     feedText("date,rzye,rqye,rzrqye", days, 8, row));

    F pane(F::eFT_RZRQ);
    compute(pane, &bars, "M", 0, 20);
    ASSERT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"融资余额", "融券余额", "融资融券余额"}));
    EXPECT_EQ(line(pane, 2)->drawType, eCOLORSTICK);
    EXPECT_EQ(line(pane, 0)->values[7], kMarker);
    EXPECT_EQ(line(pane, 0)->values[8], 1000.0f);
    EXPECT_EQ(line(pane, 2)->values[19], 5011.0f);

    F minutes(F::eFT_RZRQ);
    minutes.setIsDLine(true);
    compute(minutes, &bars, "M", 0, 20);
    EXPECT_EQ(minutes.formulaLines().lineCount(), 0);
    EXPECT_DOUBLE_EQ(minutes.maxReference(), kZtNoValue);
    EXPECT_DOUBLE_EQ(minutes.minReference(), kZtNoValueMax);
}

TEST_F(ServicePane, MissingAnswersLeaveTheLinesWithoutValues)
{
    const QVector<QDate> days = tradingDays(10);
    DQDDataList bars = barsOn(days);
    F pane(F::eFT_ZJLX);
    compute(pane, &bars, "unknown", 0, 10);
    ASSERT_EQ(pane.formulaLines().lineCount(), 3);
    EXPECT_TRUE(line(pane, 0)->values.isEmpty());
    EXPECT_DOUBLE_EQ(pane.maxReference(), kZtNoValue);

    // Two codes: nothing is asked for.
    pane.m_codeList = QStringList{"a", "b"};
    pane.setRange(0, 10);
    EXPECT_EQ(pane.formulaLines().lineCount(), 0);

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
    ASSERT_EQ(f.lineAt(0)->values.size(), 10);
    EXPECT_EQ(f.lineAt(0)->values[8], kMarker);
    EXPECT_EQ(f.lineAt(0)->values[9], 3.0f);
}
