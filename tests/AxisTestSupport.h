#pragma once

#include <ZtLineLib.h>

#include <QDate>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

// Shared by the axis tests: quote lists and a theme of pure colours that
// pixels can be matched against.
namespace axistest {

inline qint64 dayKey(const QDate& d)
{
    return qint64(d.year()) * 10000000000LL + qint64(d.month()) * 100000000LL
           + qint64(d.day()) * 1000000LL;
}

inline void appendBar(ZtUIDataStruct::DQDDataList& list, qint64 key, double open, double close)
{
    ZtUIDataStruct::DQDUnionReader r;
    r.setUniqueValue(key);
    r.setValue(ZtUIDataStruct::eFieldDateTime, key);
    r.setValue(ZtUIDataStruct::eFieldOpen, open);
    r.setValue(ZtUIDataStruct::eFieldHigh, std::max(open, close));
    r.setValue(ZtUIDataStruct::eFieldLow, std::min(open, close));
    r.setValue(ZtUIDataStruct::eFieldClose, close);
    list.append(r);
}

// One daily bar per calendar day from first to last, weekends included.
inline ZtUIDataStruct::DQDDataList dailyBars(const QDate& first, const QDate& last, double open = 10.0)
{
    ZtUIDataStruct::DQDDataList list;
    for (QDate d = first; d <= last; d = d.addDays(1))
        appendBar(list, dayKey(d), open, open + 0.5);
    return list;
}

// Pure theme colours for the keys the axes paint with; the previous custom
// table comes back when the fixture ends.
class ThemeFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = ZtUIDataStruct::PubCacheCustom::mCustomColor;
        auto& t = ZtUIDataStruct::PubCacheCustom::mCustomColor;
        t[QStringLiteral("Up")] = QStringList{QStringLiteral("#ff0000")};
        t[QStringLiteral("Down")] = QStringList{QStringLiteral("#00ff00")};
        t[QStringLiteral("Flat")] = QStringList{QStringLiteral("#ffffff")};
        t[QStringLiteral("Klinetag")] = QStringList{QStringLiteral("#ffff00")};
        t[QStringLiteral("Vol")] = QStringList{QStringLiteral("#00ffff")};
        t[QStringLiteral("Grid1")] = QStringList{QStringLiteral("#0000ff")};
        t[QStringLiteral("Grid2")] = QStringList{QStringLiteral("#ff00ff")};
        t[QStringLiteral("Grid3")] = QStringList{QStringLiteral("#808000")};
        t[QStringLiteral("Grid1DotLine")] = QStringList{QStringLiteral("#008080")};
        t[QStringLiteral("Default")] = QStringList{QStringLiteral("#ff8000")};
        t[QStringLiteral("DRFS_BG")] = QStringList{QStringLiteral("#202020")};
        t[QStringLiteral("JHJJ_BG")] = QStringList{QStringLiteral("#303030")};
        t[QStringLiteral("ScaleplateText")] = QStringList{QStringLiteral("#c0c0c0")};
        t[QStringLiteral("ScaleplateMastText")] = QStringList{QStringLiteral("#ff0000")};
        t[QStringLiteral("ScaleplateSubText")] = QStringList{QStringLiteral("#00ff00")};
    }
    void TearDown() override { ZtUIDataStruct::PubCacheCustom::mCustomColor = m_saved; }

    static QImage blankImage(int w, int h)
    {
        QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::black);
        return img;
    }

    // Pixels in the rectangle whose colour is exactly rgb.
    static int countColour(const QImage& img, const QRect& r, QRgb rgb)
    {
        int n = 0;
        const QRect area = r.intersected(img.rect());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += (img.pixel(x, y) & 0xffffff) == (rgb & 0xffffff);
        return n;
    }

    // Pixels that show rgb blended over black in any strength, as
    // antialiased text leaves it.
    static int countTinted(const QImage& img, const QRect& r, QRgb rgb)
    {
        const int want[3] = {qRed(rgb), qGreen(rgb), qBlue(rgb)};
        const int wantTop = std::max({want[0], want[1], want[2]});
        int n = 0;
        const QRect area = r.intersected(img.rect());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb p = img.pixel(x, y);
                const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
                const int top = std::max({c[0], c[1], c[2]});
                bool ok = top > 60 && wantTop > 0;
                for (int i = 0; i < 3 && ok; ++i)
                    ok = std::abs(c[i] - want[i] * top / wantTop) <= 4;
                n += ok;
            }
        }
        return n;
    }

private:
    QHash<QString, QStringList> m_saved;
};

} // namespace axistest
