#pragma once

#include "TestKit.h"

#include <QDate>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

// Shared by the axis tests: quote lists and a theme of pure colours that
// pixels can be matched against.
namespace axistest {

using testkit::dayKey;

inline void appendBar(ZtUIDataStruct::DQDDataList& list, qint64 key, double open, double close)
{
    using namespace ZtUIDataStruct;
    list.append(testkit::record(key, {{eFieldOpen, open}, {eFieldHigh, std::max(open, close)},
                                      {eFieldLow, std::min(open, close)}, {eFieldClose, close}}));
}

// One daily bar per calendar day from first to last, weekends included.
inline ZtUIDataStruct::DQDDataList dailyBars(const QDate& first, const QDate& last, double open = 10.0)
{
    ZtUIDataStruct::DQDDataList list;
    for (QDate d = first; d <= last; d = d.addDays(1))
        appendBar(list, dayKey(d), open, open + 0.5);
    return list;
}

// Pure theme colours for the keys the axes paint with.
class ThemeFixture : public ::testing::Test
{
protected:
    static QImage blankImage(int w, int h) { return testkit::blankImage(w, h); }
    static int countColour(const QImage& img, const QRect& r, QRgb rgb) { return testkit::countColour(img, r, rgb); }

    // Pixels that show rgb blended over black in any strength, as
    // antialiased text leaves it.
    static int countTinted(const QImage& img, const QRect& r, QRgb rgb)
    {
        const int want[3] = {qRed(rgb), qGreen(rgb), qBlue(rgb)};
        const int wantTop = std::max({want[0], want[1], want[2]});
        return testkit::countPixels(img, r, [&](QRgb p) {
            const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
            const int top = std::max({c[0], c[1], c[2]});
            bool ok = top > 60 && wantTop > 0;
            for (int i = 0; i < 3 && ok; ++i)
                ok = std::abs(c[i] - want[i] * top / wantTop) <= 4;
            return ok;
        });
    }

private:
    testkit::ThemeColours m_theme{
        {"Up", "#ff0000"}, {"Down", "#00ff00"}, {"Flat", "#ffffff"}, {"Klinetag", "#ffff00"},
        {"Vol", "#00ffff"}, {"Grid1", "#0000ff"}, {"Grid2", "#ff00ff"}, {"Grid3", "#808000"},
        {"Grid1DotLine", "#008080"}, {"Default", "#ff8000"}, {"DRFS_BG", "#202020"}, {"JHJJ_BG", "#303030"},
        {"ScaleplateText", "#c0c0c0"}, {"ScaleplateMastText", "#ff0000"}, {"ScaleplateSubText", "#00ff00"}};
};

} // namespace axistest
