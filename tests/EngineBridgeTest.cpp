// The engine bridge: output records into result lines, result lines into
// pane lines, and whole engine panes over real quotes.

#include "FormulaEngineTestSupport.h"
#include "TestKit.h"

using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;
using indicatorpane::Pane;

TEST(EngineBridge, ParseFromFlineCopiesWhatIsThereAndNothingElse)
{
    FormulaResult r;
    tagFLINES none;
    none.count = 3; // a count without records gives no lines
    r.parseFromFline(none);
    EXPECT_TRUE(r.lines.empty());

    float d1[3] = {1, 2, 3};
    int colors[3] = {0xff, 0xff00, 0xff0000};
    int strip[3] = {7, 8, 9};
    int rect[4] = {10, 20, 30, 40};
    char text[] = "up";
    char name[] = "DIFF";
    tagFLINE records[2] = {};
    records[0] = {1, d1, nullptr, nullptr, nullptr, text, nullptr, 0, 11, 12, 2, name, 3, 0xff, 5,
                  nullptr, nullptr};
    records[1] = {0, d1, d1, d1, d1, text, colors, 7, 0, 0, 1, name, 3, 0, 0, strip, rect};
    tagFLINES out;
    out.lines = records;
    out.count = 2;
    r.parseFromFline(out);
    ASSERT_EQ(r.lines.size(), 2u);
    // Absent series, colours, strip colours and rectangles stay absent.
    const LineData& a = r.lines[0];
    EXPECT_EQ(a.data1, std::vector<float>({1, 2, 3}));
    EXPECT_TRUE(a.data2.empty() && a.data3.empty() && a.colorCodes.empty());
    EXPECT_FALSE(a.stripColor.enable || a.rect.valid);
    EXPECT_EQ(std::make_tuple(a.lineFlag, a.name, a.param1, a.lineStyle), std::make_tuple(1, std::string("DIFF"), 11, 5));
    const LineData& b = r.lines[1];
    EXPECT_EQ(b.data4, std::vector<float>({1, 2, 3}));
    EXPECT_EQ(b.colorCodes, std::vector<int>({0xff, 0xff00, 0xff0000}));
    EXPECT_TRUE(b.stripColor.enable && b.rect.valid);
    EXPECT_EQ(std::make_tuple(b.stripColor.color3, b.rect.top, b.rect.right), std::make_tuple(9, 10, 40));
}

TEST(EngineBridge, MacdPaneOverRealQuotes)
{
    DQDDataList list = testkit::sampleBars();
    ASSERT_EQ(list.count(), 1000);
    Pane pane(F::eFT_MACD, &list);
    pane.setRange(900, 100);

    const Formulas& lines = pane.formulaLines();
    ASSERT_EQ(testkit::lineNames(lines), QStringList({"DIFF", "DEA", "MACD"}));
    EXPECT_EQ(std::make_tuple(lines.lineAt(2)->drawType, lines.lineAt(0)->useDrawRoutines, pane.m_params),
              std::make_tuple(int(eCOLORSTICK), true, QList<float>({12, 26, 9})));

    const QList<float>& diff = lines.lineAt(0)->values;
    ASSERT_GE(diff.size(), list.count());

    // A new window over the same bars gives the same lines, a changed bar new
    // ones (changed definitions: the live-update comparison).
    const float before = diff.at(999);
    pane.setRange(800, 100);
    EXPECT_EQ(pane.formulaLines().lineAt(0)->values.at(999), before);
    list.at(999)->setValue(eFieldClose, list.at(999)->getValue(eFieldClose).toDouble() + 1.0);
    pane.setRange(800, 100);
    EXPECT_NEAR(pane.formulaLines().lineAt(0)->values.at(999) - before,
                2.0 / 13 - 2.0 / 27, 1e-4);

    // A definition that does not compile leaves no lines and the engine's
    // reason; the next good computation clears it.
    const CDFormulaManage saved = F::m_dformulaManage;
    TagFormularContent broken = *saved.findFormular("MACD");
    broken.texts[2] = "DIFF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\nDEA:EMA(DIFF,MID;";
    ASSERT_TRUE(F::m_dformulaManage.SetFormularContent(broken));
    pane.setRange(900, 100);
    EXPECT_EQ(pane.formulaLines().lineCount(), 0);
    EXPECT_EQ(pane.lastFormulaError(), QStringLiteral("line 2, column 17: expected ')'"));
    F::m_dformulaManage = saved;
    pane.setRange(900, 100);
    EXPECT_EQ(pane.formulaLines().lineCount(), 3);
    EXPECT_EQ(pane.lastFormulaError(), QString());
    // The same pane switched to another indicator follows that one's
    // definition, also when it changes between two steps over the same data.
    pane.setFormulaType(F::eFT_KDJ);
    pane.setRange(900, 100);
    F::CFormulaClass kdj = F::getCFormulaParams(F::eFT_KDJ);
    kdj.paramValues[0] = 5;
    ASSERT_TRUE(F::setCFormulaParams(kdj));
    pane.setRange(900, 100, true);
    Pane fresh(F::eFT_KDJ, &list);
    fresh.setRange(900, 100);
    EXPECT_EQ(pane.values(0), fresh.values(0));
    F::m_dformulaManage = saved;
}

TEST(EngineBridge, MaPaneDropsSwitchedOffAveragesAndTakesThemeColours)
{
    // The theme's average colours in turn, a custom one before the default;
    // past the lines the pen is the default one.
    testkit::ThemeColours theme{{"KLineMAs", "#0A0A0A"}, {"Default", "#123456"}};
    PubCacheCustom::mDefultColor.insert(QStringLiteral("KLineMAs"),
                                        QStringList({"#010101", "#020202", "#030303", "#040404"}));
    const CDFormulaManage saved = F::m_dformulaManage;
    F::CFormulaClass ma = F::getCFormulaParams(F::eFT_MA);
    ASSERT_EQ(ma.paramCount, 5);
    ma.paramValues = {5, 10, 0, 30, 0};
    ASSERT_TRUE(F::setCFormulaParams(ma));

    DQDDataList list = testkit::sampleBars();
    Pane pane(F::eFT_MA, &list);
    pane.setRange(0, 200);
    ASSERT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"MA1", "MA2", "MA4"}));
    const QColor expected[] = {QColor(0x12, 0x34, 0x56), QColor(10, 10, 10), QColor(2, 2, 2), QColor(3, 3, 3),
                               QColor(0x12, 0x34, 0x56)};
    for (int i = -1; i < 4; ++i)
        EXPECT_EQ(pane.getLinePenByIndex(i).color(), expected[i + 1]) << i;
    // A new theme colour reaches the lines on the next tick.
    testkit::ThemeColours::set(QStringLiteral("KLineMAs"), QStringLiteral("#0B0B0B"));
    pane.recordsChanged(list.count() - 1);
    pane.setRange(0, 200, true);
    EXPECT_EQ(pane.getLinePenByIndex(0).color(), QColor(11, 11, 11));
    F::m_dformulaManage = saved;
}

TEST(EngineBridge, EachStickLinePaintsItsOwnValues)
{
    // Two stick lines paint the same picture in either order: each takes
    // its own rounded values.
    const CDFormulaManage saved = F::m_dformulaManage;
    DQDDataList list = testkit::sampleBars();
    QImage images[2];
    const char* texts[] = {"A:C-O,COLORSTICK;B:(C-O)*3,COLORSTICK;", "B:(C-O)*3,COLORSTICK;A:C-O,COLORSTICK;"};
    for (int i = 0; i < 2; ++i) {
        TagFormularContent c = FormulaTest::definition("STICKS", texts[i]);
        ASSERT_TRUE(F::m_dformulaManage.SetFormularContent(c));
        F pane(F::userFormulaType(QStringLiteral("STICKS")));
        pane.setRect(0, 0, 800, 200);
        pane.setData(&list);
        pane.setRange(900, 100);
        images[i] = testkit::painted(pane, 800, 200);
    }
    EXPECT_GT(testkit::countInk(images[0], images[0].rect()), 1000);
    EXPECT_EQ(images[0], images[1]);
    F::m_dformulaManage = saved;
}
