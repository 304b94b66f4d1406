// Painting of the indicator pane, read back from offscreen images: candles,
// lines, sticks, icons, the chip distribution and the max/min markers.

#include "TestKit.h"

#include <QCoreApplication>
#include <QDir>

#include <cmath>

using namespace ZtUIDataStruct;
using namespace panetest;

namespace {

class PaneRender : public PaneFixture
{
protected:
    // A pane over list showing all its items in a w × 100 rectangle at x,
    // painted on a black image that reaches the pane's right edge.
    static QImage show(Pane& pane, DQDDataList& list, int w, double max, double min, int x = 0)
    {
        pane.setRect(x, 0, w, 100);
        pane.setData(&list);
        pane.setRange(0, list.count());
        pane.SetMaxMinValue(max, min);
        return paint(pane, x + w, 100);
    }
    // The fixture's pane with one more line, over n flat bars.
    QImage showLine(const Line& line, int n, int w, double max, double min, int x = 0)
    {
        m_list = flatBars(n);
        m_pane.addLine(line);
        return show(m_pane, m_list, w, max, min, x);
    }
    DQDDataList m_list;
    Pane m_pane;
};

QList<float> ones(int n, float v = 1.0f)
{
    return QVector<float>(n, v).toList();
}

// n candles keyed 1 … n, all falling (open 16, close 12) or all rising.
DQDDataList candles(int n, bool rising)
{
    DQDDataList list;
    for (int i = 0; i < n; ++i)
        list.append(rising ? bar(i + 1, 12, 18, 11, 16, 12) : bar(i + 1, 16, 18, 11, 12, 16));
    return list;
}

using testkit::countInk;

} // namespace

TEST_F(PaneRender, CandleColourAndDirection)
{
    // Slots of 20 px: bodies 15 px wide from x0 + 4, centre line at x0 + 11;
    // 10 px per price unit from 20 down to 10.
    DQDDataList list = candles(1, true);
    list.append(bar(2, 16, 18, 11, 12, 16));   // falling
    list.append(bar(3, 15, 15, 15, 15, 15.5)); // open = close below the previous close
    Pane pane;
    pane.addLine(makeLine(eKLINE, ones(3)));
    QImage img = show(pane, list, 60, 20, 10);
    QPainter p(&img);
    p.setBrush(Qt::blue); // a brush left by someone else must not fill rising bodies
    pane.Fill(&p);
    p.end();

    // Outline left and right, top edge at the close, bottom edge at the open,
    // hollow inside; both wicks; nothing below the low.
    testkit::expectPixels(img, {{5, 60, kUp}, {19, 60, kUp}, {10, 40, kUp}, {10, 80, kUp}, {10, 60, kBlack},
            {12, 30, kUp}, {12, 85, kUp}, {12, 95, kBlack}});

    // The falling candle is filled.
    testkit::expectPixels(img, {{30, 60, kDown}, {25, 80, kDown}, {39, 40, kDown}, {32, 30, kDown}});

    // open = close: a dash over the body width, falling as the previous
    // close lies above; rising when it does not.
    EXPECT_EQ(count(img, QRect(40, 50, 20, 1), kDown), 15);
    EXPECT_EQ(count(img, QRect(40, 0, 20, 100), kDown), 15);
    list.at(2)->setValue(eFieldPreClose, 15.0);
    img = paint(pane, 60, 100);
    EXPECT_EQ(count(img, QRect(40, 50, 20, 1), kUp), 15);

    // A fixed pen paints every candle in its colour. At 2 px per unit from
    // 60 down to 10 a body of 0.5 is one pixel tall: outlined over two rows.
    pane.setFixedPen(QPen(QColor(0, 0, 255)));
    list.at(2)->setValue(eFieldClose, 15.5);
    img = show(pane, list, 60, 60, 10);
    testkit::expectPixels(img, {{5, 90, 0xff0000ffu}, {30, 90, 0xff0000ffu}, {10, 90, kBlack}});
    EXPECT_EQ(count(img, QRect(40, 89, 20, 2), 0xff0000ffu), 30);
}

TEST_F(PaneRender, ThinCandlesUpToFourPixelsAndTheBandsRightEnd)
{
    // Falling candles: a body shows as three filled columns per candle, a
    // thin candle as one.
    DQDDataList falling = candles(10, false);
    DQDDataList rising = candles(10, true);
    Pane pane;
    pane.addLine(makeLine(eKLINE, ones(10)));
    QImage img = show(pane, falling, 40, 20, 10); // 4.0 px per item
    EXPECT_EQ(count(img, QRect(0, 60, 50, 1), kDown), 10);
    // Only the centre column of the first slot.
    testkit::expectPixels(img, {{2, 60, kDown}, {1, 60, kBlack}});

    pane.setFixedPaddingRight(0.9); // 40.1 px for 10 items: 4.01
    img = show(pane, falling, 41, 20, 10);
    EXPECT_EQ(count(img, QRect(0, 60, 50, 1), kDown), 30);
    EXPECT_EQ(img.pixel(1, 60), kDown);

    // 70 px with 10 px right padding, 10 items of 6 px: the last body would
    // cover 56 … 60, the band ends at 59.
    pane.setFixedPaddingRight(10);
    img = show(pane, falling, 70, 20, 10);
    testkit::expectPixels(img, {{56, 60, kDown}, {59, 60, kDown}, {60, 60, kBlack}});
    img = show(pane, rising, 70, 20, 10);
    // The narrowed outline closes at 59.
    testkit::expectPixels(img, {{59, 60, kUp}, {58, 60, kBlack}, {60, 60, kBlack}});
    EXPECT_EQ(count(img, QRect(60, 0, 10, 100), kUp), 0);
}

TEST_F(PaneRender, VolumeSticks)
{
    // 20 px slots, 1 px per unit from 100 down to 0.
    DQDDataList list;
    for (double close : {11, 9, 9, 10, 8}) // against 10: a change ≥ 0 is rising
        list.append(bar(list.count() + 1, 10, 10, 10, close, 10));
    Pane pane;
    pane.addLine(makeLine(eVOLSTICK, {50, 50, 0}));
    QImage img = show(pane, list, 100, 100, 0);
    testkit::expectPixels(img, {{5, 70, kUp}, {19, 70, kUp}, {10, 70, kBlack}, {10, 50, kUp},
            {10, 49, kBlack}, {30, 70, kDown}, {30, 99, kDown}});
    EXPECT_EQ(count(img, QRect(40, 0, 20, 100), kBlack), 2000); // a zero volume: nothing

    // Engine sticks take the bar's colour entry where there is one.
    Line coloured = makeLine(eVOLSTICK, {50, 50, 0}, true);
    coloured.colors = {0x00FFFF00}; // 0x00BBGGRR: cyan
    pane.line(0)->values.clear();
    pane.addLine(coloured);
    img = paint(pane, 100, 100);
    // Still rising: outlined.
    testkit::expectPixels(img, {{5, 70, 0xff00ffffu}, {10, 70, kBlack}, {30, 70, kDown}});

    // Intraday sticks colour by the close against the item before: the first
    // has nothing to compare with ("Default"), equal closes neither. One value
    // short of the window; a stale one lies past the line's end.
    Pane intraday;
    Line sticks = makeLine(eVOLSTICK2, ones(5, 50.0f));
    sticks.values.removeLast();
    intraday.addLine(sticks);
    img = show(intraday, list, 100, 100, 0); // centres at 20k + 12
    testkit::expectPixels(img, {{12, 75, kDefault}, {32, 75, kDown}, {52, 75, kDefault}, {72, 75, kUp},
            {72, 49, kBlack}, {92, 75, kBlack}});
    // A value past the records has no close to compare with.
    intraday.line(0)->values = ones(6, 50.0f);
    intraday.setRange(0, 6);
    EXPECT_GT(count(paint(intraday, 100, 100), QRect(84, 50, 16, 50), kDefault), 0);
}

TEST_F(PaneRender, MultiDayIntradayLinesBreakAtDayEnds)
{
    // Four days of 241 slots, 2 px apart: the segment from slot i to i + 1
    // covers x 2i + 1 … 2i + 3, so a left-out join shows as a black x = 2i + 2.
    const int slotCount = 4 * 241;
    DQDDataList list = flatBars(slotCount);
    const QRgb blue = 0xff0000ffu;
    auto gapsAt = [&](bool mainChart, bool auction) {
        Pane pane;
        pane.setIsDLine(true);
        pane.setIsMainChat(mainChart);
        pane.setShowDRFS(4);
        pane.setShowJHJJ(auction);
        pane.addLine(makeLine(eLINE, ones(slotCount, 10.0f)));
        const QImage img = show(pane, list, 2 * slotCount, 11, 9);
        QList<int> gaps;
        for (int x = 2; x < 2 * slotCount - 1; ++x)
            if (img.pixel(x, 50) != blue)
                gaps.append(x);
        return gaps;
    };
    EXPECT_EQ(gapsAt(true, false), QList<int>({482, 964, 1446}));
    EXPECT_EQ(gapsAt(true, true), QList<int>({1446}));
    EXPECT_EQ(gapsAt(false, false), QList<int>());
}

TEST_F(PaneRender, LinesStopAtGapsTheirEndAndTheBand)
{
    QList<float> v = ones(10, 10.0f);
    v[3] = float(kZtNoValue);
    v[6] = std::nanf("");
    // One value short of the window.
    const QImage img = showLine(makeLine(eLINE, v.mid(0, 9), true), 10, 100, 11, 9);
    // Centres at 10k + 6; the segments into and out of items 3 and 6 are
    // missing, the last item has no value.
    QList<int> painted;
    for (int k = 0; k < 10; ++k)
        painted.append(img.pixel(10 * k + 6, 50) == 0xff0000ffu);
    EXPECT_EQ(painted, QList<int>({1, 1, 1, 0, 1, 1, 0, 1, 1, 0}));
}

TEST_F(PaneRender, ColourSticksFromTheMiddle)
{
    // 10 px slotCount with centres at 10k + 6; 25 px per unit from 2 down to
    // -2, so 0 lies on the middle row 50.
    m_pane.setPrec(0);
    QImage img = showLine(makeLine(eCOLORSTICK, {1.0f, -1.0f, 0.4f}), 3, 30, 2, -2);
    testkit::expectPixels(img, {{6, 25, kUp}, {6, 50, kUp}, {6, 51, kBlack}, {6, 24, kBlack},
            {16, 75, kDown}, {16, 49, kBlack}, {26, 50, kUp}});
    // 0.4 rounds to 0 with no decimals: one dot on the middle row (26, 50).
    EXPECT_EQ(count(img, QRect(20, 0, 10, 100), kUp), 1);

    m_pane.setPrec(1);
    img = paint(m_pane, 30, 100);
    EXPECT_EQ(count(img, QRect(20, 0, 10, 100), kUp), 11); // rows 40 … 50

    // Engine sticks in their bar colour always start at the middle.
    Line coloured = makeLine(eCOLORSTICK, {1.0f, -1.0f, 0.0f}, true);
    coloured.colors = {0x00FF0000, 0x00FF0000, 0x00FF0000}; // blue
    m_pane.line(0)->values.clear();
    m_pane.addLine(coloured);
    img = paint(m_pane, 30, 100);
    testkit::expectPixels(img, {{6, 30, 0xff0000ffu}, {16, 70, 0xff0000ffu}, {26, 50, 0xff0000ffu}});
}

TEST_F(PaneRender, MissingIconEndsItsLine)
{
    // Icons are read beside the program; the test brings its own number, 0,
    // which is an icon like any other (only a negative one ends the line).
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/formulaicon");
    const bool made = !QDir(dir).exists() && QDir().mkpath(dir);
    const QString file = dir + QStringLiteral("/KLINE_DRAWICON_0.bmp");
    QImage icon(5, 5, QImage::Format_RGB32);
    icon.fill(QColor(255, 0, 255));
    ASSERT_TRUE(icon.save(file));

    Line line = makeLine(eDRAWICON, {10, 10, 10, 10}, true);
    line.values2 = {0, 0, 9002, 0};
    const QImage img = showLine(line, 4, 40, 20, 0); // y(10) = 50, centres at 10k + 6
    QFile::remove(file);
    if (made)
        QDir().rmdir(dir);

    const QRgb magenta = 0xffff00ffu;
    EXPECT_EQ(count(img, img.rect(), magenta), 2 * 25);
    // Top-left corner at (centre − 2, y + 2).
    EXPECT_EQ(count(img, QRect(4, 52, 5, 5), magenta) + count(img, QRect(14, 52, 5, 5), magenta), 50);
}

TEST_F(PaneRender, MarkersPointAtTheExtremesFromTheSideWithRoom)
{
    // A pane at x 200 … 599 with 40 sticks 10 px apart (centres at
    // 10k + 206); every close above the one before, so the sticks are "Up".
    DQDDataList list;
    for (int i = 0; i < 40; ++i)
        list.append(bar(i + 1, 10, 10, 10, 10 + 0.01 * i, 10));
    auto paintPeak = [&](Pane& pane, int peak, int rightPadding = 0, bool engine = false) {
        QList<float> v = ones(40, 1000.0f);
        v[peak] = 12345.67f;
        pane.setPrec(2);
        pane.setDrawMaxMinTag(true);
        pane.setFixedPaddingRight(rightPadding);
        pane.addLine(makeLine(eVOLSTICK2, v, engine));
        return show(pane, list, 400 + rightPadding, 20000, 0, 200);
    };

    // The peak at x 406 has the pane's right half to its right: the text
    // goes right, whatever its distance from x = 0.
    Pane middle;
    QImage img = paintPeak(middle, 20);
    EXPECT_EQ(middle.minTagX(), 206); // the first of the equal lows
    for (bool engine : {false, true}) { // a peak just past the window is not its highest
        Pane shorter;
        paintPeak(shorter, 20, 0, engine);
        shorter.setRange(0, 20);
        paint(shorter, 600, 100);
        EXPECT_EQ(shorter.maxTagValue(), 1000.0) << engine;
    }
    const int y = int(middle.getY(double(12345.67f)));
    // The line to the text and the arrow head.
    testkit::expectPixels(img, {{416, y, kDefault}, {396, y, kBlack}, {409, y - 3, kDefault}, {409, y + 3, kDefault}});
    // The text beside the arm, its digits centred on the arm's row.
    QList<int> inkRows;
    for (int row = y - 15; row < y + 15; ++row)
        if (countInk(img, QRect(421, row, 100, 1)) > 0)
            inkRows << row;
    ASSERT_FALSE(inkRows.isEmpty());
    EXPECT_LE(std::abs(inkRows.first() + inkRows.last() - 2 * y), 2) << inkRows.first() << " " << inkRows.last();

    // Near the right edge the text goes left. A right padding moves the edge,
    // not the sticks: the text goes right only when more than its width +
    // 15 px remain to the edge.
    QPainter probe(&img);
    const int room = probe.fontMetrics().horizontalAdvance(QStringLiteral("12345.67")) + 15;
    probe.end();
    for (int extra : {0, 1}) {
        Pane padded;
        img = paintPeak(padded, 38, room + extra - 14);
        SCOPED_TRACE(extra);
        EXPECT_EQ(countInk(img, QRect(450, y - 15, 120, 30)) > 10, extra == 0);
        testkit::expectPixels(img, {{extra ? 596 : 576, y, kDefault}, {extra ? 576 : 596, y, kBlack}});
    }
}

TEST_F(PaneRender, ChipDistribution)
{
    // Price 20 … 10 over 100 rows; the largest volume spans the pane's width.
    m_pane.setQnowData(15);
    Line sticks = makeLine(eYDCM, {});
    sticks.chipType = 1;
    sticks.chipMax = 50;
    sticks.chipRows = {{12, 25}, {15, 50}, {18, 10}};
    QImage img = showLine(sticks, 3, 100, 20, 10, 100); // at x 100 … 199
    EXPECT_EQ(count(img, QRect(0, 80, 200, 1), kUp), 51);    // below the price: x 100 … 150
    EXPECT_EQ(count(img, QRect(0, 50, 200, 1), kFlat), 100); // at the price, clipped to the pane
    EXPECT_EQ(count(img, QRect(0, 20, 200, 1), kDown), 21);
    EXPECT_EQ(img.pixel(100, 80), kUp);
    EXPECT_EQ(count(img, QRect(0, 0, 100, 100), kBlack), 100 * 100);

    // The profile: a white area from the pane's left edge out to the rows.
    m_pane.line(0)->chipType = 0;
    img = paint(m_pane, 200, 100);
    testkit::expectPixels(img, {{105, 60, kDefault}, {190, 85, kBlack}});
    EXPECT_EQ(count(img, QRect(0, 0, 100, 100), kBlack), 100 * 100);

    // Without a positive largest volume there is no scale: nothing painted.
    m_pane.line(0)->chipMax = 0;
    img = paint(m_pane, 200, 100);
    EXPECT_EQ(count(img, img.rect(), kBlack), 200 * 100);
}

TEST_F(PaneRender, FillKeepsThePaintersClipAndSkipsEmptyPanes)
{
    QImage img = showLine(makeLine(eLINE, {10, 10, 10}), 3, 30, 11, 9);
    QPainter p(&img);
    m_pane.Fill(&p);
    EXPECT_FALSE(p.hasClipping());
    p.setClipRect(QRect(0, 0, 15, 100));
    m_pane.Fill(&p);
    EXPECT_TRUE(p.hasClipping());
    EXPECT_EQ(p.clipBoundingRect(), QRectF(0, 0, 15, 100));
    p.end();

    // Nothing to paint: no lines, no data, or a line of markers only (no max/min
    // marker either, not even one at x = -1).
    DQDDataList none;
    Pane empty, noData, markers;
    noData.addLine(makeLine(eLINE, {10, 10, 10}));
    markers.addLine(makeLine(eLINE, ones(3, float(kZtNoValue))));
    for (auto [pn, data] : {std::pair{&empty, &m_list}, {&noData, &none}, {&markers, &m_list}}) {
        pn->setDrawMaxMinTag(true);
        EXPECT_EQ(count(show(*pn, *data, 400, 20000, 0), QRect(0, 0, 400, 100), kBlack), 400 * 100);
    }
}

TEST_F(PaneRender, SmoothLineThroughItsPoints)
{
    // 25 px per unit, centres at 10k + 6.
    QImage img = showLine(makeLine(eSMOOTHLINE, {10, 12, float(kZtNoValue), 10}), 4, 40, 13, 9);
    // The brush of the line's pen is left on the painter.
    QPainter p(&img);
    m_pane.Fill(&p);
    EXPECT_EQ(p.brush().color(), QColor(0, 0, 255));
    p.end();
    const QRgb blue = 0xff0000ffu;
    // Through the points, and between two of them through the middle (the
    // control points sit halfway across at each end's height).
    testkit::expectPixels(img, {{6, 75, blue}, {16, 25, blue}, {36, 75, blue}, {11, 50, blue}});
    EXPECT_EQ(count(img, QRect(0, 0, 5, 100), blue), 0);
    // The gap is bridged by one curve from item 1 to item 3, not drawn down
    // to the bottom.
    EXPECT_EQ(count(img, QRect(26, 90, 1, 10), blue), 0);
    m_pane.setDrawMaxMinTag(true);
    paint(m_pane, 40, 100);
    EXPECT_EQ(m_pane.maxTagX(), 16);
    EXPECT_EQ(m_pane.maxTagValue(), 12.0);
    // The curve ends at the window's last point, not at one past it.
    m_pane.setRange(0, 3);
    EXPECT_EQ(count(paint(m_pane, 40, 100), QRect(26, 0, 14, 100), blue), 0);

    // A window past the line's end draws no path.
    m_pane.setRange(4, 4);
    img = paint(m_pane, 40, 100);
    EXPECT_EQ(count(img, img.rect(), kBlack), 40 * 100);
}

TEST_F(PaneRender, FormulaTextInLineOrBarColour)
{
    Line text = makeLine(eDRAWTEXT, {10, 10}, true);
    text.text = QStringLiteral("BUY");
    text.pen.setColor(QColor(255, 0, 255));
    text.colors = {0x0000FF00}; // green for the first item only
    const QImage img = showLine(text, 2, 200, 20, 0); // 100 px slots, centres at 100k + 53
    EXPECT_GT(count(img, QRect(50, 20, 50, 40), kDown), 5);
    EXPECT_EQ(count(img, QRect(50, 20, 50, 40), 0xffff00ffu), 0);
    EXPECT_GT(count(img, QRect(150, 20, 50, 40), 0xffff00ffu), 5);
}

namespace {

// Exposes the slot geometry to draw the same segments through QPainter.
class GeometryPane : public Pane
{
public:
    int centre(int k) const { return int(k * m_pointW + m_drawLeft) + m_barCentreOffset; }
    double drawRight() const { return m_drawRight; }
};

} // namespace

TEST_F(PaneRender, FastPaintersMatchOneCallPerItemAtEveryPixelRatio)
{
    // The line painter fills runs of vertical segments, and the stick
    // painters fill one-pixel columns, instead of stroking them; the result
    // must equal stroking every item on its own, also with many values per
    // pixel column, a rectangle reaching above the image (negative rows are
    // stroked), zero-length segments, gaps within a column, and on high-DPI
    // devices, where a logical pixel is 1.5 or 2 device pixels.
    QList<float> values;
    quint32 seed = 99;
    float v = 50;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        if (i % 17 != 0) // repeated values make zero-length segments
            v = std::max(1.0f, v + float(int(seed >> 24) - 128) / 64.0f);
        values.append(i % 23 == 3 ? float(kZtNoValue) : v); // item 3: one free row in its column
    }
    const auto known = [&](int k) { return values.at(k) != float(kZtNoValue); };
    DQDDataList list = flatBars(values.size());
    for (int i = 0; i < list.count(); i += 3)
        list.at(i)->setValue(eFieldChange, -1.0); // every third stick falls
    const auto image = [](double ratio) {
        QImage img = blank(int(1600 * ratio), int(220 * ratio));
        img.setDevicePixelRatio(ratio);
        return img;
    };
    for (double ratio : {1.0, 1.5, 2.0}) {
        for (const QRect& rect : {QRect(0, 0, 300, 200), QRect(10, -20, 700, 200), QRect(0, 5, 1500, 150)}) {
            for (int type : {eLINE, eVOLSTICK}) {
                DQDDataList data = list;
                GeometryPane pane;
                pane.setRect(rect);
                pane.setData(&data);
                pane.setRange(0, type == eLINE ? values.size() : rect.width() / 3);
                pane.SetMaxMinValue(60, 40); // values beyond the band clamp to its edges
                pane.addLine(makeLine(type, values));

                QImage ours = image(ratio);
                QPainter p(&ours);
                pane.Fill(&p);
                p.end();

                QImage reference = image(ratio);
                QPainter r(&reference);
                r.setClipRect(QRectF(rect));
                r.setPen(QPen(QColor(0, 0, 255)));
                for (int k = 0; type == eLINE && k + 1 < values.size(); ++k) {
                    const int x1 = pane.centre(k);
                    const int x2 = pane.centre(k + 1);
                    if (x2 > pane.drawRight())
                        break;
                    if (known(k) && known(k + 1))
                        r.drawLine(QLineF(x1, pane.getY(values.at(k)), x2, pane.getY(values.at(k + 1))));
                }
                for (int k = 0; type == eVOLSTICK && k < pane.dataShowLength(); ++k) {
                    r.setPen(getThemePen(k % 3 == 0 ? QStringLiteral("KDown") : QStringLiteral("KUp")));
                    if (known(k))
                        r.drawLine(pane.centre(k), int(pane.getY(values.at(k))), pane.centre(k),
                                   int(pane.getRect().bottom()));
                }
                r.end();
                EXPECT_TRUE(ours == reference) << ratio << " " << rect.width() << " " << type;
            }
        }
    }
}
