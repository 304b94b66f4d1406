// The fast paths of the computations: storage handed from one computation to
// the next, bar conversion of only the columns a formula reads, and the
// aligned walk of a feed table. Each must give exactly what the plain way
// gives. (The chip layer's reused storage and the range widening that skips
// the precision cut are pinned by the live-update differential test.)

#include "FormulaEngineTestSupport.h"
#include "TestKit.h"
#include <ZtSeriesAlign.h>

#include <vector>

using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

namespace {

const float kMarker = float(kZtNoValue);

DQDUnionReader quote(qint64 key, double close, double volume)
{
    return testkit::record(key, {{eFieldOpen, close - 0.02}, {eFieldHigh, close + 0.05}, {eFieldLow, close - 0.07},
                                 {eFieldClose, close}, {eFieldVolume, volume}, {eFieldAmount, volume * close},
                                 {eFieldAverage, close - 0.01}, {eFieldPreClose, close - 0.03}, {eFieldChange, 0.03}});
}

// One intraday day with the auction band: 256 slots, the first `traded`
// keyed, the rest not traded yet (key −1).
DQDDataList auctionDay(int traded, double base)
{
    DQDDataList list;
    for (int i = 0; i < 256; ++i) {
        if (i >= traded) {
            list.append(testkit::record(-1));
            continue;
        }
        const qint64 key = 20240105091500LL + qint64(i / 60) * 10000 + (i % 60) * 100;
        list.append(quote(key, base + 0.01 * (i % 17) - 0.003 * (i % 5), 1000.0 + i));
    }
    return list;
}

// Reaches the line building of the plain path: result lines converted one
// by one, then padded.
struct PlainPane : ZtLineLib_Formula
{
    using ZtLineLib_Formula::ZtLineLib_Formula;
    using ZtLineLib_Formula::createByFormulaResult;
    using ZtLineLib_Formula::padLines;
};

std::vector<QList<float>> valuesOf(const Formulas& lines)
{
    std::vector<QList<float>> out;
    for (int i = 0; i < lines.lineCount(); ++i)
        out.push_back(lines.lineAt(i)->values);
    return out;
}

// The lines of an engine type over records start … start + length − 1 the
// plain way: every column converted, the result copied, then padded.
std::vector<QList<float>> plainLines(F::enumFormulaType type, DQDDataList& list, int start,
                                     int length)
{
    CInputData input;
    input.days = PBDataChange::LBDG_TagDayVector(&list, start, length);
    std::string name = F::helpFormulaTypeToQString(type).toStdString();
    FormulaResult result;
    EXPECT_TRUE(F::m_moduleFormular.ComputeDayFormular(name, input, 1, 0, &result));
    PlainPane plain(type);
    plain.createByFormulaResult(&result);
    plain.padLines(start, length, list.count());
    return valuesOf(plain.formulaLines());
}

} // namespace

TEST(ComputeReuse, EngineLinesEqualThePlainPathWhateverStorageTheyReuse)
{
    // MACD on a D-line pane with the auction band computes from slot 15 and
    // stops at the first slot not traded: markers in front and behind.
    const auto intraday = [](F& pane, DQDDataList* list) {
        pane.setRect(0, 0, 800, 200);
        pane.setIsDLine(true);
        pane.setShowJHJJ(true);
        pane.setPrec(3);
        pane.setData(list);
        pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        pane.setRange(0, list->count());
    };
    DQDDataList day = auctionDay(200, 10.0);
    F pane(F::eFT_MACD);
    intraday(pane, &day);
    const std::vector<QList<float>> expected = plainLines(F::eFT_MACD, day, 15, 185);
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(expected[0].first(), kMarker);
    EXPECT_NE(expected[0].at(15), kMarker);
    EXPECT_EQ(valuesOf(pane.formulaLines()), expected);

    // Other panes drop lists of the same length with other values; the
    // next lines built from them are still exactly the plain ones.
    DQDDataList other = auctionDay(230, 20.0);
    F ma(F::eFT_MA);
    intraday(ma, &other);
    for (int round = 0; round < 3; ++round) {
        ma.setRange(0, other.count());
        pane.setRange(0, day.count());
        EXPECT_EQ(valuesOf(pane.formulaLines()), expected) << "round " << round;
    }

    // A host that keeps a copy of the lines keeps its values: shared lists
    // are never written over.
    const Formulas kept = pane.formulaLines();
    for (int i = 15; i < 200; ++i)
        day.at(i)->setValue(eFieldClose, 30.0 + 0.02 * i);
    intraday(pane, &day);
    EXPECT_EQ(valuesOf(kept), expected);
    EXPECT_EQ(valuesOf(pane.formulaLines()), plainLines(F::eFT_MACD, day, 15, 185));
    EXPECT_NE(valuesOf(pane.formulaLines()), expected);
    // Its sticks show the new values, not the last roundings.
    F fresh(F::eFT_MACD);
    intraday(fresh, &day);
    EXPECT_EQ(testkit::painted(pane, 800, 200), testkit::painted(fresh, 800, 200));
}

TEST(ComputeReuse, BarConversionOfTheColumnsAFormulaReads)
{
    DQDDataList list;
    for (int i = 0; i < 6; ++i)
        list.append(quote(20240102000000LL + qint64(i) * 1000000, 10.0 + i, 100.0 * (i + 1)));
    list.at(3)->setValue(eZtFieldFloatShares, 5e8);
    const std::vector<TagDay> all = PBDataChange::LBDG_TagDayVector(&list, 1, 4);
    // A vector that held every column before keeps only the ones asked for;
    // every column named gives what the full conversion gives.
    std::vector<TagDay> some = all;
    PBDataChange::LBDG_TagDayVector(&list, 1, 4, some, eTagDayClose | eTagDayVolume);
    EXPECT_EQ(std::make_tuple(some[0].m_close, some[0].m_volume, some[3].m_date, some[0].m_open),
              std::make_tuple(all[0].m_close, all[0].m_volume, all[3].m_date, std::vector<float>()));
    PBDataChange::LBDG_TagDayVector(&list, 1, 4, some, eTagDayAllColumns);
    EXPECT_EQ(std::tie(some[0].m_floatShares, some[0].m_amount), std::tie(all[0].m_floatShares, all[0].m_amount));
    EXPECT_EQ(all[0].m_floatShares[2], 5e8f);
    // A time beyond the encodable range reads as no time.
    list.at(1)->setValue(eFieldDateTime, 1e18);
    const TagDay odd = PBDataChange::LBDG_TagDayVector(&list, 1, 1).front();
    EXPECT_EQ(std::tie(odd.m_date, odd.m_time[0]), std::make_tuple(0, 0));

    // Functions that read bars themselves (TR, ISUP) name their columns too.
    CDFormulaManage store;
    TagFormularContent own = FormulaTest::definition("COLUMNS", "X:TR+ISUP+AMO;");
    ASSERT_TRUE(store.SetFormularContent(own));
    const std::pair<const char*, unsigned> columns[] = {
        {"MACD", eTagDayClose},
        {"KDJ", eTagDayClose | eTagDayHigh | eTagDayLow},
        {"AB", eTagDayOpen | eTagDayHigh | eTagDayLow | eTagDayClose},
        {"VR", eTagDayClose | eTagDayVolume},
        {"COLUMNS", eTagDayOpen | eTagDayHigh | eTagDayLow | eTagDayClose | eTagDayAmount},
        {"NO SUCH FORMULA", eTagDayAllColumns},
        {"", eTagDayAllColumns}};
    for (const auto& c : columns)
        EXPECT_EQ(F::m_moduleFormular.inputColumns(c.first), c.second) << c.first;
}

TEST(ComputeReuse, AlignedWalkFindsWhatALookupPerRecordFinds)
{
    QMap<qint64, QVector<double>> table;
    for (int d = 3; d <= 60; ++d) {
        if (d % 7 != 0) // days without a row
            table.insert(20240100000000LL + qint64(d) * 1000000, {double(d)});
    }
    // In order with gaps longer than the walk steps, repeats, a step back,
    // empty slots and minute keys that look up their day.
    const std::vector<int> days = {1, 2, 3, 4, 4, 5, 7, 8, 30, 31, 0, 12, 13, 14, 59, 60, 61, 2, 45};
    DQDDataList list;
    for (int d : days)
        list.append(testkit::record(d ? 20240100000000LL + qint64(d) * 1000000 + 93100 : 0));
    const ZtSeriesTable flat = ZtSeriesTable::fromMap(table);
    ZtSeriesAlign::Cursor cursor(flat, false);
    for (int i = 0; i < list.count(); ++i) {
        const qint64 key = list.at(i)->uniqueKey();
        const double* row = cursor.rowOf(key);
        const auto it = table.constFind(ZtSeriesAlign::lookupKey(key, false));
        const bool expected = key > 0 && it != table.constEnd();
        ASSERT_EQ(row != nullptr, expected) << "record " << i;
        if (expected)
            EXPECT_EQ(row[0], it.value().at(0)) << "record " << i;
    }
}
