// The formula language: primitives worked out by hand, line attributes,
// error reports with positions, and hostile input.

#include "FormulaEngineTestSupport.h"

using namespace FormulaTest;

namespace {

void expectError(const std::string& source, int line, int column, const std::string& fragment)
{
    SCOPED_TRACE(source);
    Evaluation r = runFormula(source, closesOnly(kCloses), {{"N", 3.0f}});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(handedOnlyTheReason(r.result, r.error)) << "a failed evaluation hands over its reason alone";
    EXPECT_EQ(std::make_pair(r.line, r.column), std::make_pair(line, column));
    EXPECT_NE(r.error.find(fragment), std::string::npos) << r.error;
    const std::string place = "line " + std::to_string(line) + ", column " + std::to_string(column);
    EXPECT_NE(r.error.find(place), std::string::npos) << r.error;
}

} // namespace

TEST(FormulaEngineLanguage, PrimitivesWorkedByHand)
{
    const double r37 = std::sqrt(37.0 / 3.0);
    checkAll({
        {"WMA(C,3)", {N_, N_, 17 / 6.0, 2, 3.5, 38 / 6.0, 29 / 6.0, 31 / 6.0}},
        {"SUM(C,0)", {3, 4, 8, 9, 14, 23, 25, 31}},
        {"HHV(C,0)", {3, 3, 4, 4, 5, 9, 9, 9}},
        {"COUNT(C>2,3)", {N_, N_, 2, 1, 2, 2, 2, 2}},
        // Period 0 runs from the first bar for the counting windows only.
        {"COUNT(C>2,0)", {1, 1, 2, 2, 3, 4, 4, 5}},
        {"MA(C,0)", {N_, N_, N_, N_, N_, N_, N_, N_}},
        {"STD(C,3)", {N_, N_, std::sqrt(14.0 / 6.0), std::sqrt(3.0), std::sqrt(13.0 / 3.0), 4, r37, r37}},
        {"AVEDEV(C,3)", {N_, N_, 10 / 9.0, 4 / 3.0, 14 / 9.0, 24 / 9.0, 22 / 9.0, 22 / 9.0}},
        {"REF(C,2)", {N_, N_, 3, 1, 4, 1, 5, 9}},
        {"REF(C,BARSLAST(C>4))", {N_, N_, N_, N_, 5, 9, 9, 6}},
        // Recursive averages seed with the first value: EMA(X,3) = (2X + 2Y')/4,
        // SMA(X,3,1) = (X + 2Y')/3; of a series with a warm-up, where it starts.
        {"EMA(C,3)", {3, 2, 3, 2, 3.5, 6.25, 4.125, 5.0625}},
        {"SMA(C,3,1)", {3, 7 / 3.0, 26 / 9.0, 61 / 27.0, 257 / 81.0, 1243 / 243.0, 2972 / 729.0,
                        10318 / 2187.0}},
        {"EMA(REF(C,2),3)", {N_, N_, 3, 2, 3, 2, 3.5, 6.25}},
        {"WMA(REF(C,1),2)", {N_, N_, 5 / 3.0, 3, 2, 11 / 3.0, 23 / 3.0, 13 / 3.0}},
        // Operators and conditions bar by bar.
        {"ABS(C-4)", {1, 3, 0, 3, 1, 5, 2, 2}},
        {"MAX(C,4)*10+MIN(C,4)", {43, 41, 44, 41, 54, 94, 42, 64}},
        {"IF(C>3,C,-C)", {-3, -1, 4, -1, 5, 9, -2, 6}},
        {"NOT(C>3)*10+(NOT C>3)", {11, 11, 0, 11, 0, 0, 11, 0}},
        {"(C>3 AND C<6)*10+(C<2 || C>8)", {0, 1, 10, 1, 10, 1, 0, 0}},
        {"C>=4 && C<>9", {0, 0, 1, 0, 1, 0, 0, 1}},
        {"(C=1)*10+(C!=1)", {1, 10, 1, 10, 1, 1, 1, 1}},
        {"2+3*4-C/2", {12.5, 13.5, 12, 13.5, 11.5, 9.5, 13, 11}},
        {"-(1+2)*C", {-9, -3, -12, -3, -15, -27, -6, -18}},
        {"C*.5", {1.5, 0.5, 2, 0.5, 2.5, 4.5, 1, 3}},
        // Division by zero gives no value, never infinity.
        {"1/(C-1)", {0.5, N_, 1 / 3.0, N_, 0.25, 0.125, 1, 0.2}},
        {"C/0", {N_, N_, N_, N_, N_, N_, N_, N_}},
        // Conditions on bars without a value have none either.
        {"REF(C,1)>2", {N_, 1, 0, 1, 0, 1, 1, 0}},
    });
}

TEST(FormulaEngineLanguage, StatementsParametersAndNames)
{
    const Evaluation r = runFormula("{ smoothed closes }\n"
                      "base := ma(close, n);  // hidden\n"
                      "Up : base + Width, linethick2;\n"
                      "down: base - width\n",
                      closesOnly(kCloses), {{"N", 2.0f}, {"WIDTH", 1.0f}});
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.result.captured.size(), 2u);
    const CapturedLine& up = r.result.captured[0];
    const CapturedLine& down = r.result.captured[1];
    EXPECT_EQ(std::make_tuple(up.name, up.lineWidth, down.name, down.lineWidth), std::make_tuple("Up", 2, "down", 1));
    const float M = kFormulaNoValue; // MA(C,2) ± 1
    EXPECT_EQ(up.d[0], std::vector<float>({M, 3, 3.5, 3.5, 4, 8, 6.5, 5}));
    EXPECT_EQ(down.d[0], std::vector<float>({M, 1, 1.5, 1.5, 2, 6, 4.5, 3}));
    EXPECT_TRUE(up.d[1].empty() && up.d[2].empty() && up.colours.empty());

    // A line may be named after a column and then shadows it.
    const Evaluation vol = runFormula("VOL:VOL,VOLSTICK;\nM:MA(VOL,2);", closesOnly(kCloses));
    ASSERT_TRUE(vol.ok) << vol.error;
    EXPECT_EQ(vol.result.captured[0].drawType, eFormulaVolStick);
    EXPECT_FLOAT_EQ(vol.result.captured[1].d[0][1], 100.0f);

    // A constant output fills every bar; a statement without a name is a line.
    const Evaluation constant = runFormula("50;", closesOnly(kCloses));
    ASSERT_EQ(constant.result.captured.size(), 1u) << constant.error;
    EXPECT_EQ(constant.result.captured[0].name, "");
    EXPECT_EQ(constant.result.captured[0].d[0], std::vector<float>(kCloses.size(), 50.0f));
}

TEST(FormulaEngineLanguage, AttributesAndDefaultColours)
{
    const Evaluation r = runFormula("A:C;B:C;C1:C;D:C;E:C;F:C;G:C;H:C;"
                      "S1:C,COLORSTICK;S2:C,VOLSTICK;S3:C,LINESTICK;S4:C,NODRAW;"
                      "K1:C,COLOR0000FF;K2:C,colorBlue,LINETHICK9;K3:C,COLORFF8000;"
                      "K4:C,COLORYELLOW;K5:C,COLORCYAN;K6:C,COLORMAGENTA;K7:C,COLORWHITE;"
                      "K8:C,COLORGREEN;K9:C,COLORRED",
                      closesOnly(kCloses));
    ASSERT_TRUE(r.ok) << r.error;
    std::vector<int> colours, types;
    for (const CapturedLine& line : r.result.captured) {
        colours.push_back(line.color);
        types.push_back(line.drawType);
    }
    // White, yellow, magenta, green, red, blue, cyan as 0x00BBGGRR, then again
    // (the sticks as well); then the colours given by name or number.
    const int W = 0xFFFFFF, Y = 0x00FFFF, M = 0xFF00FF, G = 0x00FF00, R = 0x0000FF, B = 0xFF0000, C = 0xFFFF00;
    EXPECT_EQ(colours, std::vector<int>({W, Y, M, G, R, B, C, W, Y, M, G, R, R, B, 0xFF8000, Y, C, M, W, G, R}));
    const int L = eFormulaLine;
    EXPECT_EQ(types, std::vector<int>({L, L, L, L, L, L, L, L, 7, 2, eFormulaLineStick, eFormulaNoDraw, L, L, L, L,
                                       L, L, L, L, L}));
    EXPECT_EQ(r.result.captured[13].lineWidth, 9);
}

TEST(FormulaEngineLanguage, DrawTextDrawIconAndLinesToTheLeft)
{
    const Evaluation r = runFormula("DRAWTEXT(CROSS(C,3),C,'buy'),COLORRED;\n"
                      "DRAWICON(C>4,C*2,IF(C>6,2,1));\n"
                      "T:DRAWTEXT(C=1,0,\"买\");\n"
                      "HORLINE(C<3,C,-1,1);",
                      closesOnly(kCloses));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.result.captured.size(), 4u);
    const CapturedLine& text = r.result.captured[0];
    EXPECT_EQ(std::make_tuple(text.drawType, text.text, text.color), std::make_tuple(int(eFormulaDrawText), "buy", 0x0000FF));
    const float M = kFormulaNoValue;
    EXPECT_EQ(text.d[0], std::vector<float>({M, M, 4, M, 5, M, M, 6}));
    EXPECT_TRUE(text.d[1].empty());

    const CapturedLine& icon = r.result.captured[1];
    EXPECT_EQ(icon.drawType, eFormulaDrawIcon);
    EXPECT_EQ(icon.d[0], std::vector<float>({M, M, M, M, 10, 18, M, 12}));
    ASSERT_EQ(icon.d[1].size(), icon.d[0].size());
    EXPECT_EQ(std::vector<float>(icon.d[1].begin() + 4, icon.d[1].begin() + 6), std::vector<float>({1, 2}));

    // Texts travel in the local 8-bit encoding.
    EXPECT_EQ(QString::fromLocal8Bit(r.result.captured[2].text.c_str()), QStringLiteral("买"));
    // Lines to the left reach back to the hit before, the first to bar 0;
    // extended, they go on to the left edge (2).
    EXPECT_EQ(r.result.captured[3].d[3], std::vector<float>({0, -1, 0, -2, 0, 0, -3, 0}));
    EXPECT_EQ(r.result.captured[3].param1, 2);
}

TEST(FormulaEngineLanguage, ErrorsNamePositions)
{
    expectError("X:FOO(C,3);", 1, 3, "unknown function 'FOO'");
    expectError("A:C;\nB:MA(C,N) + ZZ;", 2, 13, "unknown name 'ZZ'");
    expectError("X:MA(C;", 1, 7, "expected ')'");
    expectError("X:MA(C,1,2);", 1, 3, "MA expects 2 arguments");
    expectError("X:C,DOTTED;", 1, 5, "unknown line attribute");
    expectError("X:C,COLORSTIK;", 1, 5, "unknown colour 'COLORSTIK'");
    expectError("X:C,COLORZZ1234;", 1, 5, "unknown colour");
    expectError("X:C C;", 1, 5, "expected ';'");
    expectError("X:C+;", 1, 5, "unexpected ';'");
    expectError("X:C # 2;", 1, 5, "unexpected character '#'");
    expectError("X:1.5.2;", 1, 6, "malformed number");
    expectError("{ never closed\nX:C;", 1, 1, "comment not closed");
    expectError("X:DRAWTEXT(C>1,C,'a);", 1, 18, "text not closed");
    expectError("X:C+'a';", 1, 5, "text may only be DRAWTEXT");
    expectError("X:DRAWTEXT(C>1,C,3);", 1, 18, "DRAWTEXT expects a text");
    expectError("X:1+STICKLINE(C>1,C,O,1,0);", 1, 5, "must stand alone");
    expectError("X:=DRAWICON(C>1,C,1);", 1, 1, "must be output lines");
    expectError("X:=C,COLORSTIK;", 1, 6, "unknown colour"); // checked, though ignored
    expectError("X:MA;", 1, 3, "needs its arguments");
    expectError("AND:C;", 1, 1, "cannot name a line");
    // Evaluation errors carry the position of the offending argument.
    expectError("X:EMA(C,BARSLAST(C>4));", 1, 9, "period of EMA must be a constant");
    expectError("X:BARSLASTS(C>4,C);", 1, 17, "argument 2 of BARSLASTS must be a constant");
    expectError("X:MAX6(C);", 1, 3, "MAX6 expects 2 to 6 arguments");
    expectError("\n\n   X:SMA(C,3,C);", 3, 14, "period of SMA must be a constant");
    // Columns count characters, not bytes.
    expectError("名称:FOO(C);", 1, 4, "unknown function");
}

TEST(FormulaEngineLanguage, FailuresWithoutPositionAndRecovery)
{
    ModuleFormular engine;
    CInputData input = makeInput(closesOnly(kCloses));
    CapturedResult r;
    std::string missing = "NO_SUCH_FORMULA";
    EXPECT_FALSE(engine.ComputeDayFormular(missing, input, 1, 0, &r));
    EXPECT_NE(engine.lastError().find("NO_SUCH_FORMULA"), std::string::npos);
    EXPECT_EQ(engine.lastErrorLine(), 0);
    EXPECT_TRUE(handedOnlyTheReason(r, engine.lastError()));
    r.calls = 0;

    std::string macd = "MACD";
    EXPECT_FALSE(engine.ComputeDayFormular(macd, input, 1, 0, nullptr));
    EXPECT_FALSE(engine.lastError().empty());
    // A success clears the error.
    EXPECT_TRUE(engine.ComputeDayFormular(macd, input, 1, 0, &r));
    EXPECT_EQ(engine.lastError(), "");
    EXPECT_EQ(r.calls, 1);

    std::string why;
    EXPECT_TRUE(ModuleFormular::checkFormula(definition("X", "A:MA(C,N);", {{"N", 5}}), &why));
    EXPECT_FALSE(ModuleFormular::checkFormula(definition("X", "A:MA(C,M);", {{"N", 5}}), &why));
    EXPECT_EQ(why, "line 1, column 8: unknown name 'M'");
}

TEST(FormulaEngineLanguage, HostileInputNeitherCrashesNorLoops)
{
    const Bars bars = randomBars(50);
    // Nesting beyond the bound, deep unary chains, long operator chains and
    // huge sources are refused, not recursed into; so is a source of nothing.
    const std::pair<std::string, const char*> refused[] = {
        {"  { nothing }  ", "empty formula"},
        {"X:" + std::string(20000, '(') + "C" + std::string(20000, ')') + ";", "nested too deeply"},
        {"X:" + std::string(20000, '-') + "C;", ""},
        {"X:" + std::string(20000, '!') + "C;", ""},
        {"X:C" + QByteArray("+1").repeated(5000).toStdString() + ";", "nested too deeply"},
        {"X:C;" + std::string(70000, ' '), "formula longer than"},
    };
    for (const auto& [source, error] : refused) {
        const Evaluation e = runFormula(source, bars);
        EXPECT_FALSE(e.ok);
        EXPECT_NE(e.error.find(error), std::string::npos) << e.error;
    }
    // Nesting right up to the bound is fine.
    EXPECT_TRUE(runFormula("X:" + std::string(199, '(') + "C" + std::string(199, ')') + ";", bars).ok);

    // Huge, negative, fractional and non-finite periods.
    const Evaluation periods = runFormula("A:MA(C,1e9);B:HHV(C,1e300);D:REF(C,-1);E:SMA(C,0,1);"
                         "F:EMA(C,1e9);G:STD(C,1E999);H:MA(C,2.9)",
                         bars);
    ASSERT_TRUE(periods.ok) << periods.error;
    for (const char* name : {"A", "B", "D", "E", "G"}) {
        const CapturedLine* l = periods.result.line(name);
        ASSERT_NE(l, nullptr);
        EXPECT_TRUE(std::all_of(l->d[0].begin(), l->d[0].end(), isMarker)) << name;
    }
    EXPECT_FLOAT_EQ(periods.result.line("F")->d[0][40], float(bars.close[0]));
    EXPECT_TRUE(isMarker(periods.result.line("H")->d[0][0]));
    EXPECT_FALSE(isMarker(periods.result.line("H")->d[0][1]));

    // No bars: every line is there, with no items.
    const Evaluation none = runFormula("A:MA(C,5);B:DRAWICON(C>1,C,1);", Bars());
    ASSERT_TRUE(none.ok) << none.error;
    ASSERT_EQ(none.result.captured.size(), 2u);
    EXPECT_EQ(none.result.captured[0].count, 0);
}

TEST(FormulaEngineLanguage, BarsWithoutValues)
{
    // NaN, infinity, the no-value marker and empty slots are bars without a
    // value; windows over them have none either.
    CInputData input = makeInput(closesOnly({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    TagDay& cols = input.days.front();
    cols.m_close[2] = std::numeric_limits<float>::quiet_NaN();
    cols.m_close[4] = std::numeric_limits<float>::infinity();
    cols.m_close[6] = kFormulaNoValue;
    cols.m_valid[8] = 0;
    cols.m_volume.resize(3); // a short column: later bars have no volume
    const Evaluation e = runFormula("A:C*1;B:MA(C,2);E:EMA(C,3);S:SUM(C,0);V:VOL;T:TR;D:STD(C,2);", input);
    ASSERT_TRUE(e.ok) << e.error;
    const CapturedResult& r = e.result;
    const float M = kFormulaNoValue;
    EXPECT_EQ(r.line("A")->d[0], std::vector<float>({1, 2, M, 4, M, 6, M, 8, M}));
    // A window holding a bar without a value has none.
    EXPECT_EQ(r.line("B")->d[0], std::vector<float>({M, 1.5, M, M, M, M, M, M, M}));
    // EMA steps over a gap keeping its state: bar 3 = (2·4 + 2·Y1)/4, Y1 = 1.5.
    EXPECT_EQ(r.line("E")->d[0], std::vector<float>({1, 1.5, M, 2.75, M, 4.375, M, 6.1875, M}));
    EXPECT_EQ(r.line("S")->d[0], std::vector<float>({1, 3, M, 7, M, 13, M, 21, M}));
    EXPECT_EQ(r.line("V")->d[0], std::vector<float>({100, 100, 100, M, M, M, M, M, M}));
    EXPECT_EQ(r.line("T")->d[0], std::vector<float>({M, 1, 1, M, 1, M, 1, M, M})); // needs the close before
    EXPECT_EQ(r.line("D")->d[0], std::vector<float>({M, float(std::sqrt(0.5)), M, M, M, M, M, M, M}));
    // An input without the validity column: its first record's columns hold
    // every bar; a shorter one ends its run, leaving the bars after it empty.
    CInputData plain = makeInput(closesOnly({1, 2, 3}));
    plain.days.front().m_valid.clear();
    checkAll({{"C*1", {1, 2, 3}}}, plain);
    plain.days.front().m_valid = {1};
    checkAll({{"C*1", {1, N_, N_}}}, plain);
}
