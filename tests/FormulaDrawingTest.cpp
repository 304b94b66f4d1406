// Formula drawings and line styles: the engine's records per drawing
// function and attribute, and the pictures the pane paints from them.

#include "FormulaEngineTestSupport.h"
#include "TestKit.h"

#include <FormulaDrawType.h>

using namespace FormulaTest;
using namespace panetest;

namespace {

constexpr float NV = kFormulaNoValue;

using Record = CapturedLine;

// Closes 1 2 3 4 5 4 3 2; open = close − 0.5, high = close + 1, low = close − 1.
Bars sampleBars()
{
    Bars b = closesOnly({1, 2, 3, 4, 5, 4, 3, 2});
    for (size_t i = 0; i < b.size(); ++i) {
        b.open[i] -= 0.5;
        b.high[i] += 1;
        b.low[i] -= 1;
    }
    return b;
}

} // namespace

// The pane takes the engine's draw codes as they come (the drawings' codes
// are checked on the engine's records below).
static_assert(eFormulaDrawText == int(eDRAWTEXT) && eFormulaDrawIcon == int(eDRAWICON), "draw codes differ");

TEST(FormulaDrawing, RecordsPerFunction)
{
    using Check = std::function<void(const Record&)>;
    using V = std::vector<float>;
    const V closes = {1, 2, 3, 4, 5, 4, 3, 2};
    const V ones(8, 1.0f);
    struct Row
    {
        const char* source;
        int drawType; // the pane's code for the drawing
        int param1, param2;
        V first; // the first series, when given
        Check check;
    };
    const Row rows[] = {
        // No stick where either price has no value.
        {"STICKLINE(C>3,C,IF(C=5,DRAWNULL,O),8,1)", eSTICKLINE, 8, 1, {NV, NV, NV, 4, NV, 4, NV, NV},
         [](const Record& r) { EXPECT_EQ(r.d[1], V({NV, NV, NV, 3.5, NV, 3.5, NV, NV})); }},
        {"DRAWKLINE(H,O,L,C)", eDRAWKLINE, 0, -2, {}, [&](const Record& r) {
             EXPECT_EQ(r.d[3], closes);
             EXPECT_EQ(r.d[0][0], 2.0f);
             EXPECT_TRUE(r.colours.empty());
         }},
        {"DRAWKLINE_IF(C>4,H,O,L,C)", eDRAWKLINE, 0, -2, {},
         [](const Record& r) { EXPECT_EQ(r.d[2], V({NV, NV, NV, NV, 4, NV, NV, NV})); }},
        {"DRAWCOLORKLINE(C>4,COLORRED,0)", eDRAWKLINE, 0, 0, {}, [](const Record& r) {
             EXPECT_EQ(r.d[1], V({NV, NV, NV, NV, 4.5, NV, NV, NV}));
             ASSERT_EQ(r.colours.size(), 8u);
             EXPECT_EQ(r.colours[4], 0x0000FF);
         }},
        {"DRAWCOLORKLINE(C>4,COLORRED,1)", eDRAWKLINE, 0, 1, {}, nullptr}, // hollow candles
        // From the latest C=2 to the next C=4; the second C=2 never ends.
        {"DRAWLINE(C=2,C,C=4,C,1)", eSEGMENT, 1, 0, {NV, 2, NV, NV, NV, NV, NV, NV}, [](const Record& r) {
             EXPECT_EQ(std::make_tuple(r.d[1][1], r.d[2][1], r.d[3][1]), std::make_tuple(4.0f, 2.0f, 0.0f));
         }},
        {"DRAWLINE(C=2,C,C=4,C,10)", eSEGMENT, 2, 0, {}, nullptr},
        // Two bars on to the next hit, and to the last bar.
        {"HORLINE(C=4,C,1,0)", eSEGMENT, 0, 0, {NV, NV, NV, 4, NV, 4, NV, NV},
         [](const Record& r) { EXPECT_EQ(std::make_pair(r.d[2][3], r.d[2][5]), std::make_pair(2.0f, 2.0f)); }},
        {"DRAWSL(C=5,C,1,2,2)", eSEGMENT, 0, 0, {NV, NV, NV, NV, 3, NV, NV, NV}, [](const Record& r) {
             EXPECT_EQ(std::make_tuple(r.d[1][4], r.d[2][4], r.d[3][4]), std::make_tuple(7.0f, 2.0f, -2.0f));
         }},
        {"PLOYLINE(C>=4,C)", ePOLYLINE, 0, 0, {NV, NV, NV, 4, 5, 4, NV, NV}, nullptr},
        {"PARTLINE(C,C>3,COLORRED,C<3,RGB(0,255,0),C=3)", ePARTLINE, 0, 0, closes, [&](const Record& r) {
             EXPECT_EQ(r.d[1], ones);
             // The last condition without a colour takes the line's (white).
             EXPECT_EQ(r.colours, std::vector<int>({0xFF00, 0xFF00, 0xFFFFFF, 0xFF, 0xFF, 0xFF,
                                                    0xFFFFFF, 0xFF00}));
         }},
        {"DRAWNUMBER(C=5,H,C*2)", eDRAWNUMBER, -1, 0, {NV, NV, NV, NV, 6, NV, NV, NV},
         [](const Record& r) { EXPECT_EQ(r.d[1][4], 10.0f); }},
        {"DRAWNUMBER(C=5,H,C,2)", eDRAWNUMBER, 2, 0, {}, nullptr},
        {"DRAWNUMBER_FIX(1,0.25,0.5,1,C,3)", eNUMBER_FIX, 1, 3, closes,
         [](const Record& r) { EXPECT_EQ(std::make_pair(r.d[1][7], r.d[2][7]), std::make_pair(0.25f, 0.5f)); }},
        {"DRAWTEXT_FIX(C>4,0,0,0,'hi')", eTEXT_FIX, 0, -1, {NV, NV, NV, NV, 1, NV, NV, NV},
         [](const Record& r) { EXPECT_EQ(r.text, "hi"); }},
        {"DRAWBAND(C,COLORRED,O,COLORLIGREEN)", eDRAWBAND, 0x0000FF, 0x80FF80, closes,
         [](const Record& r) { EXPECT_EQ(r.d[1][0], 0.5f); }},
        // A colour without a value takes the line's.
        {"DRAWBAND(C,DRAWNULL,O,COLORRED),COLORBLUE", eDRAWBAND, 0xFF0000, 0x0000FF, {}, nullptr},
        {"FILLRGN(H,L,C>4,COLORBLUE)", eFILLRGN, 0, 0, {}, [](const Record& r) {
             EXPECT_EQ(r.d[1], V({NV, NV, NV, NV, 4, NV, NV, NV}));
             EXPECT_EQ(r.colours[4], 0xFF0000);
         }},
        {"DRAWGBK(C>0,RGBA(1,2,3,255))", eDRAWGBK, 0x030201, 0x030201, ones, nullptr},
        {"DRAWGBK(C>0,RGBA(1,2,3,255),RGBA(4,5,6,255))", eDRAWGBK, 0x030201, 0x060504, ones, nullptr},
        {"VERTLINE(C=5)", eVERTLINE, 0, 0, {NV, NV, NV, NV, 1, NV, NV, NV}, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source);
        const Evaluation e = runFormula(std::string(row.source) + ";", sampleBars());
        ASSERT_TRUE(e.ok) << e.error;
        ASSERT_EQ(e.result.captured.size(), 1u);
        const Record& r = e.result.captured[0];
        EXPECT_EQ(std::make_tuple(r.drawType, r.param1, r.param2),
                  std::make_tuple(row.drawType, row.param1, row.param2));
        if (!row.first.empty())
            EXPECT_EQ(r.d[0], row.first);
        if (row.check)
            row.check(r);
        // Without bars a drawing is an empty line, not a read before the data.
        EXPECT_TRUE(runFormula(std::string(row.source) + ";", Bars()).ok);
    }
}

TEST(FormulaDrawing, StylesColoursAndTheirErrors)
{
    const Evaluation e = runFormula("A:C,DOTLINE,COLORLIRED;B:C,LINEDASH,COLORLIGHTRED,LINETHICK25;"
                                    "E:C,POINTDOT,LINETHICK0;F:C,CIRCLEDOT,NOTEXT;"
                                    "G:C,CROSSDOT,NOTITLE,DRAWABOVE;H:C,UPDOWNDOT,RGB(1,2,3);"
                                    "I:C,STEPLINE,RGBA(1,2,3,0);J:C,LINEAREA,COLOR0080FF;"
                                    "K:C-3,COLORSTICK,UPCOLOR(RGB(9,9,9)),DOWNCOLORBLUE;L:C,STICKTYPE9;"
                                    "M:=C,COLORRED,DOTLINE;N:COLORLICYAN+M*0,COLORLIMAGENTA;"
                                    "P:COLORLIGRAY,NOTEXT;Q:C,DOWNCOLORBLUE",
                                    sampleBars());
    ASSERT_TRUE(e.ok) << e.error;
    const CapturedResult& out = e.result;
    ASSERT_EQ(out.captured.size(), 13u);
    // Style, colour and width of the first eight lines.
    const std::tuple<int, int, int> expected[] = {
        {eFormulaStyleDot, 0x8080FF, 1},
        {eFormulaStyleDash, 0x8080FF, 16},
        {eFormulaStylePoints, 0xFF00FF, 1}, // default colours by position
        {eFormulaStyleCircles | eFormulaStyleNoText, 0x00FF00, 1},
        {eFormulaStyleCrosses | eFormulaStyleNoTitle | eFormulaStyleDrawAbove, 0x0000FF, 1},
        {eFormulaStyleUpDown, 0x030201, 1},
        {eFormulaStyleStep, int(0xFF030201u), 1},
        {eFormulaStyleArea, 0x0080FF, 1},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Record& r = out.captured[i];
        EXPECT_EQ(std::make_tuple(r.style, r.color, r.lineWidth), expected[i]) << r.name;
    }
    // Rising and falling colours by sign on a colour stick.
    EXPECT_EQ(out.captured[8].colours, std::vector<int>({0xFF0000, 0xFF0000, 0x090909, 0x090909,
                                                    0x090909, 0x090909, 0x090909, 0xFF0000}));
    EXPECT_EQ(out.captured[12].colours.front(), 0x0000FF); // rising stays red when only falling is set
    // A stick type (9 is cut to 2) turns the line into hollow bars from zero.
    const Record& bars = out.captured[9];
    EXPECT_EQ(std::make_tuple(bars.drawType, bars.param2, bars.d[1][0]),
              std::make_tuple(int(eSTICKLINE), 1, 0.0f));
    // The hidden M left no line; colour names are numbers in expressions.
    const Record& n = out.captured[10];
    EXPECT_EQ(std::make_tuple(n.name, n.d[0][0], n.color), std::make_tuple("N", float(0xFFFF80), 0xFF80FF));
    EXPECT_EQ(out.captured[11].d[0][0], float(0xC0C0C0));

    const std::pair<const char*, const char*> errors[] = {
        {"X:C,LINETHICKX;", "unknown line attribute 'LINETHICKX'"},
        {"X:C,UPCOLORPINKISH;", "unknown colour"},
        {"X:C,RGB(1,2);", "RGB expects 3 numbers"},
        {"STICKLINE(C,C,O);", "STICKLINE expects 5 arguments"},
        {"PARTLINE(C);", "PARTLINE expects 2 to 31 arguments"},
        {"X:RGB(C,1,1);", "RGB expects constant numbers"},
        {"DRAWTEXT_FIX(1,0,0,0,C);", "DRAWTEXT_FIX expects a text in quotes as argument 5"},
    };
    for (const auto& error : errors) {
        const Evaluation bad = runFormula(error.first, sampleBars());
        EXPECT_FALSE(bad.ok) << error.first;
        EXPECT_NE(bad.error.find(error.second), std::string::npos) << error.first << ": " << bad.error;
    }
}

// ---- pictures -------------------------------------------------------------------------

namespace {

class DrawingRender : public PaneFixture
{
protected:
    // 10 bars in 100 × 100: centres at 10k + 6, value v at row 100 − 10v.
    // From first on, n − first bars show unless told how many.
    static QImage picture(const QList<Line>& lines, int n = 10, int first = 0, int shown = -1,
                          int paddingRight = 0)
    {
        ZtUIDataStruct::DQDDataList list = flatBars(n);
        Pane pane;
        for (const Line& l : lines)
            pane.addLine(l);
        pane.setRect(0, 0, 100, 100);
        pane.setFixedPaddingRight(paddingRight);
        pane.setData(&list);
        pane.setRange(first, shown < 0 ? n - first : shown);
        pane.SetMaxMinValue(10, 0);
        return paint(pane, 100, 100);
    }
    static Line drawing(int type, const QList<float>& v1, const QList<float>& v2 = {}, int param1 = 0,
                        int param2 = 0, QRgb colour = 0xff0000ff)
    {
        Line l = makeLine(type, v1, true);
        l.values2 = v2;
        l.param1 = param1;
        l.param2 = param2;
        l.pen.setColor(QColor::fromRgb(colour));
        return l;
    }
};

const float M = float(kZtNoValue);

} // namespace

TEST_F(DrawingRender, SticksCandlesAndSegments)
{
    // A filled stick from 2 to 6 at bar 1, a hollow one at bar 3.
    Line filled = drawing(eSTICKLINE, {M, 6, M, M, M, M, M, M, M, M}, {M, 2, M, M, M, M, M, M, M, M}, 10);
    Line hollow = drawing(eSTICKLINE, {M, M, M, 6, M, M, M, M, M, M}, {M, M, M, 2, M, M, M, M, M, M}, 10, 1);
    Line thin = drawing(eSTICKLINE, {M, M, M, M, M, 6, M, M, M, M}, {M, M, M, M, M, 2, M, M, M, M});
    QImage img = picture({filled, hollow, thin});
    // The hollow stick is black inside, its right side on the body's last
    // column; a one-pixel stick of style 0 is a solid line.
    testkit::expectPixels(img, {{16, 60, 0xff0000ffu}, {36, 60, kBlack}, {39, 60, 0xff0000ffu}, {40, 60, kBlack},
                                {16, 30, kBlack}});
    EXPECT_GT(count(img, QRect(30, 40, 10, 41), 0xff0000ffu), 40);
    EXPECT_EQ(count(img, QRect(56, 40, 1, 41), 0xff0000ffu), 41);
    // Slots of 2.5 px leave a one-pixel body, and a full-width stick as wide.
    filled.values = QVector<float>(40, 6.0f).toList();
    filled.values2 = QVector<float>(40, 2.0f).toList();
    EXPECT_EQ(count(picture({filled}, 40), QRect(0, 60, 100, 1), 0xff0000ffu), 40);

    // Candles: rising (close ≥ open) hollow in KUp, falling filled in KDown.
    Line candles = drawing(eDRAWKLINE, {8, 8, M, M, M, M, M, M, M, M}, {3, 6, M, M, M, M, M, M, M, M}, 0, -2);
    candles.values3 = {1, 1, M, M, M, M, M, M, M, M};
    candles.values4 = {6, 3, M, M, M, M, M, M, M, M};
    img = picture({candles});
    // The upper wick of the first and its hollow inside, the inside of the
    // falling second; style 1 leaves every body hollow.
    testkit::expectPixels(img, {{6, 25, kUp}, {5, 55, kBlack}, {16, 55, kDown}});
    EXPECT_EQ(count(img, QRect(0, 0, 10, 100), kDown), 0);
    // Below the bodies (rows 70 on) only the lower wicks.
    EXPECT_EQ(count(img, QRect(10, 72, 6, 28), kDown), 0);
    candles.param2 = 1;
    img = picture({candles});
    testkit::expectPixels(img, {{5, 55, kBlack}, {16, 55, kBlack}});
    EXPECT_EQ(count(img, QRect(0, 72, 6, 28), kUp), 0);
    EXPECT_EQ(count(img, QRect(10, 55, 10, 1), kDown), 2); // the falling outline's two sides

    // A segment from bar 1 at 2 to bar 5 at 6, carried on to the right edge.
    Line seg = drawing(eSEGMENT, {M, 2, M, M, M, M, M, M, M, M}, {M, 6, M, M, M, M, M, M, M, M}, 1);
    seg.values3 = {0, 4, 0, 0, 0, 0, 0, 0, 0, 0};
    seg.values4 = QVector<float>(10, 0.0f).toList();
    img = picture({seg});
    // Halfway, beyond its end, and not before its start.
    testkit::expectPixels(img, {{36, 60, 0xff0000ffu}, {76, 20, 0xff0000ffu}, {6, 90, kBlack}});
    // Carried on to the left edge as well, along the same slope.
    seg.param1 = 3;
    EXPECT_EQ(picture({seg}).pixel(6, 90), 0xff0000ffu);

    // A polyline through two points is one straight line; a part line goes
    // up from bar 1 at 2 to bar 2 at 6, and its condition, off at bar 3,
    // keeps it from coming down again.
    const Line part = drawing(ePARTLINE, {M, 2, 6, 2, M, M, M, M, M, M}, {1, 1, 1, 0, 1, 1, 1, 1, 1, 1});
    img = picture({drawing(ePOLYLINE, {M, 2, M, M, M, M, M, 8, M, M}), part});
    testkit::expectPixels(img, {{46, 50, 0xff0000ffu}, {21, 60, 0xff0000ffu}});
    EXPECT_EQ(count(picture({part}), QRect(28, 0, 72, 100), 0xff0000ffu), 0);
    EXPECT_EQ(count(img, QRect(0, 0, 14, 100), 0xff0000ffu), 0);
    // Only gaps before the window: no lead-in to its first point.
    img = picture({drawing(ePOLYLINE, {M, M, M, 5, M, M, M, 5, M, M})}, 10, 2, 8);
    EXPECT_EQ(count(img, QRect(0, 0, 14, 100), 0xff0000ffu), 0);
}

TEST_F(DrawingRender, StylesAreasOrderAndNumbers)
{
    const QList<float> five = QVector<float>(10, 5.0f).toList();
    // A dotted line leaves gaps on its row; a solid one does not.
    Line dotted = drawing(eLINE, five);
    dotted.lineStyle = eFormulaStyleDot;
    QImage img = picture({dotted});
    const int dottedInk = count(img, QRect(0, 50, 100, 1), 0xff0000ffu);
    EXPECT_TRUE(dottedInk > 20 && dottedInk < 80) << dottedInk;

    // Point dots: a 2 × 2 square at each bar, nothing between them.
    Line points = drawing(eLINE, five);
    points.lineStyle = eFormulaStylePoints;
    img = picture({points});
    testkit::expectPixels(img, {{25, 49, 0xff0000ffu}, {26, 50, 0xff0000ffu}, {24, 50, kBlack}, {27, 50, kBlack}});
    // Crosses: both diagonals, nothing straight above the centre.
    points.lineStyle = eFormulaStyleCrosses;
    img = picture({points});
    testkit::expectPixels(img, {{24, 52, 0xff0000ffu}, {28, 48, 0xff0000ffu}, {27, 51, 0xff0000ffu}, {26, 48, kBlack}});

    // A step holds its value up to the next bar, then jumps.
    Line step = drawing(eLINE, {2, 2, 6, 6, M, M, M, M, M, M});
    step.lineStyle = eFormulaStyleStep;
    img = picture({step});
    EXPECT_EQ(img.pixel(21, 90), kBlack); // no area under it
    testkit::expectPixels(img, {{26, 80, 0xff0000ffu}, {26, 60, 0xff0000ffu}, {21, 70, kBlack}});
    step.values = QVector<float>(50, 5.0f).toList(); // 2 px slots: the last centre on the right edge
    EXPECT_EQ(picture({step}, 50).pixel(98, 50), 0xff0000ffu);

    // A band in red above, green below, also where the lines meet at bar 0;
    // a background under everything even when listed last; a DRAWABOVE line
    // over a later one.
    Line band = drawing(eDRAWBAND, {5, 6, 6, 6, 6, 2, 2, 2, 2, 2}, five, 0x0000FF, 0x00FF00);
    band.values2[9] = M; // no area up to a gap in either line
    Line back = drawing(eDRAWGBK, QVector<float>(10, 1.0f).toList(), QVector<float>(10, 0.0f).toList(), 0x808080,
                        0x808080);
    Line above = drawing(eVERTLINE, {M, M, M, M, M, M, M, M, 1, M}, {}, 0, 0, 0xffffff00);
    above.lineStyle = eFormulaStyleDrawAbove;
    Line later = drawing(eVERTLINE, {M, M, M, M, M, M, M, M, 1, M}, {}, 0, 0, 0xff00ffff);
    img = picture({band, above, later, back});
    testkit::expectPixels(img, {{16, 45, 0xffff0000u}, {14, 47, 0xffff0000u}, {31, 48, 0xffff0000u}, {44, 45, 0xffff0000u},
            {76, 65, 0xff00ff00u}, {71, 58, 0xff00ff00u}, {16, 10, 0xff808080u}, {86, 10, 0xffffff00u}});
    EXPECT_EQ(count(img, QRect(88, 0, 8, 100), 0xff808080u), 800);
    // Lines that meet at the right end of a slot still fill it.
    Line meet = drawing(eDRAWBAND, {6, 5, 5, 5, 5, 5, 5, 5, 5, 5}, five, 0x0000FF, 0x00FF00);
    EXPECT_EQ(picture({meet}).pixel(8, 47), 0xffff0000u);
    // The area ends at the first line's last value, not on a stale one behind it.
    band.values = QVector<float>(10, 6.0f).toList();
    band.values.removeLast();
    band.values2 = five;
    EXPECT_EQ(count(picture({band}), QRect(88, 0, 12, 100), 0xffff0000u), 0);
    // A filled region between bars 0 and 1 ends at bar 1. Bar 1 has no
    // colour entry (a stale one lies past the list's end): the line's colour.
    Line region = drawing(eFILLRGN, {6, 6, M, M, M, M, M, M, M, M, M}, {2, 2, M, M, M, M, M, M, M, M, M});
    region.colors = {0x00FF00, 0x00FF00};
    region.colors.removeLast();
    img = picture({region});
    EXPECT_GT(count(img, QRect(7, 41, 9, 38), 0xff0000ffu), 300);
    testkit::expectPixels(img, {{15, 42, 0xff0000ffu}, {15, 78, 0xff0000ffu}});
    EXPECT_EQ(count(img, QRect(17, 0, 83, 100), 0xff0000ffu), 0);
    // From bar 1 on, the area from bar 0 still shows up to bar 1.
    img = picture({region}, 11, 1);
    EXPECT_GT(count(img, QRect(0, 41, 5, 38), 0xff0000ffu), 150);
    // Fixed text from a fifth of the width at half the height: its top on row 50.
    Line text = drawing(eTEXT_FIX, five, QVector<float>(10, 0.2f).toList());
    text.values3 = QVector<float>(10, 0.5f).toList();
    text.text = QStringLiteral("WW");
    img = picture({text});
    EXPECT_EQ(count(img, QRect(0, 0, 100, 50), 0xff0000ffu) + count(img, QRect(0, 50, 19, 50), 0xff0000ffu), 0);
    EXPECT_GT(count(img, QRect(19, 50, 81, 20), 0xff0000ffu), 0);
    // A window of one bar still shows its background; 1 as its second value
    // runs the gradient from left to right.
    back.values = {1};
    back.values2 = {1};
    back.param2 = 0;
    img = picture({back}, 1);
    EXPECT_TRUE(img.pixel(1, 10) == img.pixel(1, 90) && img.pixel(1, 10) != img.pixel(98, 10));
    back.values = {float(kZtNoValue)}; // no condition on the last bar: no background
    EXPECT_EQ(picture({back}, 1).pixel(1, 10), kBlack);
    // Bars 0 to 9 of 11 show and the pane leaves room right of them: the
    // number on bar 0 shows, the one on bar 10 does not.
    const Line numbers =
        drawing(eDRAWNUMBER, {5, M, M, M, M, M, M, M, M, M, 5}, QVector<float>(11, 7.0f).toList());
    img = picture({numbers}, 11, 0, 10, 30);
    EXPECT_GT(testkit::countTinted(img, QRect(0, 40, 20, 30), 0xff0000ffu), 0);
    EXPECT_EQ(testkit::countTinted(img, QRect(20, 0, 80, 100), 0xff0000ffu), 0);
}

TEST(FormulaDrawingRange, OnlyPriceSeriesWidenTheRange)
{
    // Both ends of a stick are prices; the number a DRAWNUMBER shows is not,
    // nor are a fixed number's value and position or a background's values.
    Formulas lines;
    for (auto [type, v1, v2] : {std::tuple{eSTICKLINE, 5.0f, 1.0f}, {eDRAWNUMBER, 4.0f, 900.0f},
                                {eNUMBER_FIX, 700.0f, 0.5f}, {eDRAWGBK, 1000.0f, 1.0f}}) {
        Line l = makeLine(type, {v1});
        l.values2 = {v2};
        lines.appendLine(l);
    }
    EXPECT_EQ(lines.maxOverWindow(0, 1), 5.0);
    EXPECT_EQ(lines.minOverWindow(0, 1), 1.0);
}
