#pragma once

#include "TestKit.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

// Shared by the pane painting and value-text tests: a pane that takes
// hand-made lines, bar records and a theme of pure colours that pixels can be
// matched against.
namespace panetest {

using Line = Formulas::formulaLine;

// A pane whose lines the test gives; setRange of a pane without a type
// computes nothing, so injected lines stay.
class Pane : public ZtLineLib_Formula
{
public:
    explicit Pane(enumFormulaType type = eFT_NONE) : ZtLineLib_Formula(type) {}
    void addLine(const Line& line) { m_formulaLines.appendLine(line); }
    Line* line(int i) { return m_formulaLines.lineAt(i); }
    int maxTagX() const { return m_maxTagX; }
    int minTagX() const { return m_minTagX; }
    double maxTagValue() const { return m_maxTagValue; }
    double minTagValue() const { return m_minTagValue; }
};

inline Line makeLine(int drawType, const QList<float>& values, bool engine = false,
                     const QString& name = QString(), bool showValue = true)
{
    Line line(name, drawType, QPen(QColor(0, 0, 255)), showValue);
    line.values = values;
    line.useDrawRoutines = engine;
    return line;
}

inline ZtUIDataStruct::DQDUnionReader bar(qint64 key, double open, double high, double low,
                                          double close, double preClose)
{
    using namespace ZtUIDataStruct;
    DQDUnionReader r = testkit::ohlc(key, open, high, low, close);
    r.setValue(eFieldPreClose, preClose);
    r.setValue(eFieldChange, close - preClose);
    return r;
}

// n flat bars at price p with increasing daily keys.
inline ZtUIDataStruct::DQDDataList flatBars(int n, double p = 10.0)
{
    ZtUIDataStruct::DQDDataList list;
    for (int i = 0; i < n; ++i)
        list.append(bar(20240101000000LL + qint64(i) * 1000000, p, p, p, p, p));
    return list;
}

constexpr QRgb kUp = 0xffff0000;      // "KUp", "Up"
constexpr QRgb kDown = 0xff00ff00;    // "KDown", "Down"
constexpr QRgb kDefault = 0xffffffff; // "Default"
constexpr QRgb kFlat = 0xffffff00;    // "Flat"
constexpr QRgb kBlack = 0xff000000;

// Pure colours for the keys the painters use.
class PaneFixture : public ::testing::Test
{
protected:
    static QImage blank(int w, int h) { return testkit::blankImage(w, h); }

    static QImage paint(Pane& pane, int w, int h) { return testkit::painted(pane, w, h); }

    static int count(const QImage& img, const QRect& r, QRgb rgb) { return testkit::countColour(img, r, rgb); }

private:
    testkit::ThemeColours m_theme{{"KUp", "#ff0000"}, {"Up", "#ff0000"}, {"KDown", "#00ff00"},
                                  {"Down", "#00ff00"}, {"Default", "#ffffff"}, {"Flat", "#ffff00"}};
};

} // namespace panetest
