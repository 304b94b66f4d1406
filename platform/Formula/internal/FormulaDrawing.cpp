#include "FormulaDrawing.h"

#include "../FormulaDrawType.h"
#include "FormulaAttributes.h"
#include "FormulaBufferPool.h"
#include "FormulaFunctions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kNoValueLimit = 999999986991104.0;

bool on(double c)
{
    return !std::isnan(c) && c != 0.0;
}

bool valued(double v)
{
    return std::isfinite(v) && std::fabs(v) < kNoValueLimit;
}

float toFloat(double v)
{
    return valued(v) ? float(v) : kFormulaNoValue;
}

FormulaOutputLine::Series newSeries(int n)
{
    FormulaOutputLine::Series s = FormulaBufferPool<float>::acquire(size_t(n));
    std::fill(s->begin(), s->end(), kFormulaNoValue);
    return s;
}

// The last value of a series that has one; the setting of a drawing such as
// a width or a direction, which formulas give as a constant.
double setting(const std::vector<FormulaDrawing::Series>& args, size_t index, double fallback)
{
    if (index >= args.size())
        return fallback;
    const std::vector<double>& s = *args[index];
    for (auto it = s.rbegin(); it != s.rend(); ++it) {
        if (valued(*it))
            return *it;
    }
    return fallback;
}

int intSetting(const std::vector<FormulaDrawing::Series>& args, size_t index, int fallback,
               int lo, int hi)
{
    const double v = setting(args, index, fallback);
    return int(std::clamp(std::trunc(v), double(lo), double(hi)));
}

int colourAt(const std::vector<double>& colours, int i)
{
    const double c = colours[size_t(i)];
    return valued(c) ? int(std::uint32_t(std::int64_t(c))) : FormulaDrawing::kLineColour;
}

// The colour of the first pair (condition, colour) from args[first] on that
// holds at bar i; a last condition without a colour takes the line's.
// False when none holds.
bool pairColour(const std::vector<FormulaDrawing::Series>& args, size_t first, int i, int* colour)
{
    for (size_t c = first; c < args.size(); c += 2) {
        if (!on((*args[c])[size_t(i)]))
            continue;
        *colour = c + 1 < args.size() ? colourAt(*args[c + 1], i) : FormulaDrawing::kLineColour;
        return true;
    }
    return false;
}

struct Output
{
    int n;
    FormulaOutputLine& line;

    float* series(int which)
    {
        FormulaOutputLine::Series* target[] = {&line.data1, &line.data2, &line.data3, &line.data4};
        *target[which] = newSeries(n);
        return (*target[which])->data();
    }
    int* colours()
    {
        line.colorCodes.assign(size_t(n), 0);
        return line.colorCodes.data();
    }
};

// A straight line from bar i + from at price p1 to bar i + to at price p2.
void segment(float* d[4], int i, int from, double p1, int to, double p2)
{
    if (!valued(p1) || !valued(p2))
        return;
    d[0][i] = float(p1);
    d[1][i] = float(p2);
    d[2][i] = float(to);
    d[3][i] = float(from);
}

void buildSegments(int id, const std::vector<FormulaDrawing::Series>& a, Output& out)
{
    const int n = out.n;
    float* d[4] = {out.series(0), out.series(1), out.series(2), out.series(3)};
    std::fill(d[2], d[2] + n, 0.0f);
    std::fill(d[3], d[3] + n, 0.0f);
    if (id == fnDRAWLINE) {
        // From the latest COND1 bar to the first COND2 bar after it.
        const std::vector<double>&c1 = *a[0], &p1 = *a[1], &c2 = *a[2], &p2 = *a[3];
        int start = -1;
        for (int i = 0; i < n; ++i) {
            if (start >= 0 && i > start && on(c2[size_t(i)])) {
                segment(d, start, 0, p1[size_t(start)], i - start, p2[size_t(i)]);
                start = -1;
            }
            if (on(c1[size_t(i)]))
                start = i;
        }
        const int expand = intSetting(a, 4, 0, 0, 11);
        out.line.param1 = (expand % 10 ? 1 : 0) | (expand >= 10 ? 2 : 0);
        return;
    }
    if (id == fnHORLINE) {
        // To the neighbouring COND bar in the chosen direction (the data's
        // end when there is none); EXTEND carries the lines to the edge.
        const std::vector<double>&c = *a[0], &p = *a[1];
        const int direction = intSetting(a, 2, 1, -1, 1);
        std::vector<int> hits;
        for (int i = 0; i < n; ++i) {
            if (on(c[size_t(i)]))
                hits.push_back(i);
        }
        for (size_t h = 0; h < hits.size(); ++h) {
            const int i = hits[h];
            const int next = h + 1 < hits.size() ? hits[h + 1] : n - 1;
            const int before = h > 0 ? hits[h - 1] : 0;
            const int from = direction < 0 || direction == 0 ? before - i : 0;
            const int to = direction > 0 || direction == 0 ? next - i : 0;
            segment(d, i, from, p[size_t(i)], to, p[size_t(i)]);
        }
        if (on(setting(a, 3, 0)))
            out.line.param1 = direction > 0 ? 1 : (direction < 0 ? 2 : 3);
        return;
    }
    // DRAWSL(COND, PRICE, SLOPE, LEN, DIRECT): LEN bars to the right (0),
    // the left (1) or both (2).
    const std::vector<double>&c = *a[0], &p = *a[1], &slope = *a[2], &len = *a[3], &dir = *a[4];
    for (int i = 0; i < n; ++i) {
        const size_t u = size_t(i);
        if (!on(c[u]) || !valued(len[u]) || !valued(slope[u]))
            continue;
        const int l = int(std::clamp(std::trunc(len[u]), 0.0, double(n)));
        const int which = valued(dir[u]) ? int(dir[u]) : 0;
        const int from = which == 0 ? 0 : -l;
        const int to = which == 1 ? 0 : l;
        segment(d, i, from, p[u] + slope[u] * from, to, p[u] + slope[u] * to);
    }
}

void buildCandles(int id, const std::vector<FormulaDrawing::Series>& a, Output& out)
{
    const int n = out.n;
    // Where the four prices come from, and the condition (−1: none).
    const size_t firstPrice = id == fnDRAWKLINE ? 0 : (id == fnDRAWKLINE_IF ? 1 : 3);
    const int condition = id == fnDRAWKLINE ? -1 : 0;
    float* d[4] = {out.series(0), out.series(1), out.series(2), out.series(3)};
    int* colours = id == fnDRAWCOLORKLINE ? out.colours() : nullptr;
    for (int i = 0; i < n; ++i) {
        const size_t u = size_t(i);
        if (condition >= 0 && !on((*a[0])[u]))
            continue;
        bool all = true;
        for (size_t k = 0; k < 4; ++k)
            all = all && valued((*a[firstPrice + k])[u]);
        if (!all)
            continue;
        for (size_t k = 0; k < 4; ++k)
            d[k][i] = float((*a[firstPrice + k])[u]);
        if (colours)
            colours[i] = colourAt(*a[1], i);
    }
    out.line.param2 = id == fnDRAWCOLORKLINE ? (on(setting(a, 2, 0)) ? 1 : 0) : -2;
}

} // namespace

int FormulaDrawing::drawTypeOf(int id)
{
    switch (id) {
    case fnDRAWTEXT: return eFormulaDrawText;
    case fnDRAWICON: return eFormulaDrawIcon;
    case fnSTICKLINE: return eFormulaStickLine;
    case fnDRAWKLINE:
    case fnDRAWCOLORKLINE:
    case fnDRAWKLINE_IF: return eFormulaKLine;
    case fnDRAWLINE:
    case fnHORLINE:
    case fnDRAWSL: return eFormulaSegment;
    case fnPOLYLINE: return eFormulaPolyline;
    case fnPARTLINE: return eFormulaPartLine;
    case fnDRAWNUMBER: return eFormulaNumber;
    case fnDRAWNUMBER_FIX: return eFormulaNumberFix;
    case fnDRAWTEXT_FIX: return eFormulaTextFix;
    case fnDRAWBAND: return eFormulaBand;
    case fnFILLRGN: return eFormulaFillRegion;
    case fnDRAWGBK: return eFormulaBackground;
    case fnVERTLINE: return eFormulaVertLine;
    default: return eFormulaLine;
    }
}

bool FormulaDrawing::completeCall(FormulaNode& call, std::string& message)
{
    if (call.index == fnRGB || call.index == fnRGBA) {
        double c[4] = {0, 0, 0, 255};
        for (size_t i = 0; i < call.args.size(); ++i) {
            if (call.args[i]->kind != FormulaNode::Number) {
                message = std::string(call.index == fnRGB ? "RGB" : "RGBA")
                    + " expects constant numbers";
                return false;
            }
            c[i] = call.args[i]->number;
        }
        call.kind = FormulaNode::Number;
        call.number = FormulaAttributes::rgb(c[0], c[1], c[2], c[3]);
        call.args.clear();
        call.depth = 1;
        return true;
    }
    if (call.index == fnDRAWCOLORKLINE) {
        for (int column : {FormulaNode::High, FormulaNode::Open, FormulaNode::Low,
                           FormulaNode::Close}) {
            std::unique_ptr<FormulaNode> node(new FormulaNode);
            node->kind = FormulaNode::Column;
            node->index = column;
            node->line = call.line;
            node->column = call.column;
            call.args.push_back(std::move(node));
        }
    }
    return true;
}

void FormulaDrawing::build(int id, const std::vector<Series>& a, const std::string& text,
                           int n, FormulaOutputLine& line)
{
    Output out{n, line};
    line.text = text;
    // Without bars there is nothing to draw and no last bar to take a
    // setting from.
    if (n <= 0)
        return;
    switch (id) {
    case fnSTICKLINE: {
        float* p1 = out.series(0);
        float* p2 = out.series(1);
        for (int i = 0; i < n; ++i) {
            const size_t u = size_t(i);
            if (on((*a[0])[u]) && valued((*a[1])[u]) && valued((*a[2])[u])) {
                p1[i] = float((*a[1])[u]);
                p2[i] = float((*a[2])[u]);
            }
        }
        line.param1 = intSetting(a, 3, 0, 0, 1000);
        const double empty = setting(a, 4, 0);
        line.param2 = empty == 0 ? 0 : (empty < 0 ? -1 : 1);
        return;
    }
    case fnDRAWKLINE:
    case fnDRAWKLINE_IF:
    case fnDRAWCOLORKLINE:
        buildCandles(id, a, out);
        return;
    case fnDRAWLINE:
    case fnHORLINE:
    case fnDRAWSL:
        buildSegments(id, a, out);
        return;
    case fnPOLYLINE: {
        float* p = out.series(0);
        for (int i = 0; i < n; ++i) {
            if (on((*a[0])[size_t(i)]))
                p[i] = toFloat((*a[1])[size_t(i)]);
        }
        return;
    }
    case fnPARTLINE: {
        float* p = out.series(0);
        float* drawn = out.series(1);
        int* colours = out.colours();
        for (int i = 0; i < n; ++i) {
            p[i] = toFloat((*a[0])[size_t(i)]);
            drawn[i] = pairColour(a, 1, i, &colours[i]) ? 1.0f : 0.0f;
        }
        return;
    }
    case fnFILLRGN: {
        float* v1 = out.series(0);
        float* v2 = out.series(1);
        int* colours = out.colours();
        for (int i = 0; i < n; ++i) {
            const double x = (*a[0])[size_t(i)];
            const double y = (*a[1])[size_t(i)];
            if (valued(x) && valued(y) && pairColour(a, 2, i, &colours[i])) {
                v1[i] = float(x);
                v2[i] = float(y);
            }
        }
        return;
    }
    case fnDRAWBAND: {
        float* v1 = out.series(0);
        float* v2 = out.series(1);
        for (int i = 0; i < n; ++i) {
            v1[i] = toFloat((*a[0])[size_t(i)]);
            v2[i] = toFloat((*a[2])[size_t(i)]);
        }
        line.param1 = colourAt(*a[1], n - 1);
        line.param2 = colourAt(*a[3], n - 1);
        return;
    }
    case fnDRAWNUMBER: {
        float* where = out.series(0);
        float* number = out.series(1);
        for (int i = 0; i < n; ++i) {
            const size_t u = size_t(i);
            if (on((*a[0])[u]) && valued((*a[2])[u])) {
                where[i] = toFloat((*a[1])[u]);
                number[i] = float((*a[2])[u]);
            }
        }
        line.param1 = intSetting(a, 3, -1, -1, 8);
        return;
    }
    case fnDRAWNUMBER_FIX:
    case fnDRAWTEXT_FIX: {
        float* shown = out.series(0);
        float* x = out.series(1);
        float* y = out.series(2);
        for (int i = 0; i < n; ++i) {
            const size_t u = size_t(i);
            x[i] = toFloat((*a[1])[u]);
            y[i] = toFloat((*a[2])[u]);
            if (on((*a[0])[u]))
                shown[i] = id == fnDRAWTEXT_FIX ? 1.0f : toFloat((*a[4])[u]);
        }
        line.param1 = intSetting(a, 3, 0, 0, 1);
        line.param2 = id == fnDRAWNUMBER_FIX ? intSetting(a, 5, -1, -1, 8) : -1;
        return;
    }
    case fnDRAWGBK: {
        float* shown = out.series(0);
        float* direction = out.series(1);
        const float d = float(intSetting(a, 3, 0, 0, 1));
        for (int i = 0; i < n; ++i) {
            if (on((*a[0])[size_t(i)]))
                shown[i] = 1.0f;
            direction[i] = d;
        }
        line.param1 = colourAt(*a[1], n - 1);
        line.param2 = a.size() > 2 ? colourAt(*a[2], n - 1) : line.param1;
        return;
    }
    case fnVERTLINE: {
        float* shown = out.series(0);
        for (int i = 0; i < n; ++i) {
            if (on((*a[0])[size_t(i)]))
                shown[i] = 1.0f;
        }
        return;
    }
    default:
        return;
    }
}

void FormulaDrawing::finish(const FormulaStatement& statement, FormulaOutputLine& line)
{
    line.lineStyle = statement.lineStyle;
    const bool drawing = line.drawType > eFormulaDrawIcon;
    const int n = line.data1 ? int(line.data1->size()) : 0;
    if (!drawing && n > 0 && (statement.upColor != -1 || statement.downColor != -1)) {
        // Rising and falling colours: by sign for colour sticks, against the
        // bar before for everything else.
        const int up = statement.upColor != -1 ? statement.upColor : 0x0000FF;
        const int down = statement.downColor != -1 ? statement.downColor : 0x00FF00;
        const std::vector<float>& v = *line.data1;
        line.colorCodes.assign(size_t(n), up);
        for (int i = 0; i < n; ++i) {
            const float before = i > 0 ? v[size_t(i - 1)] : v[size_t(i)];
            const bool rising = line.drawType == eFormulaColorStick ? v[size_t(i)] >= 0
                                                                     : v[size_t(i)] >= before;
            line.colorCodes[size_t(i)] = rising ? up : down;
        }
    }
    if (!drawing && n > 0 && statement.stickType >= 0 && line.drawType != eFormulaNoDraw) {
        // Sticks from 0 to the value: thin (0), filled bars (1), hollow (2).
        line.data2 = newSeries(n);
        std::fill(line.data2->begin(), line.data2->end(), 0.0f);
        for (int i = 0; i < n; ++i) {
            if ((*line.data1)[size_t(i)] == kFormulaNoValue)
                (*line.data2)[size_t(i)] = kFormulaNoValue;
        }
        line.drawType = eFormulaStickLine;
        line.param1 = statement.stickType == 0 ? 0 : 8;
        line.param2 = statement.stickType == 2 ? 1 : 0;
    }
    for (int& c : line.colorCodes) {
        if (c == kLineColour)
            c = line.color;
    }
    if (line.drawType == eFormulaBand || line.drawType == eFormulaBackground) {
        if (line.param1 == kLineColour)
            line.param1 = line.color;
        if (line.param2 == kLineColour)
            line.param2 = line.color;
    }
}
