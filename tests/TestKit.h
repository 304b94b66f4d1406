#pragma once

#include <ZtLineLib.h>

#include <QDate>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

// The fixtures every test file shares: quote records, sample files, images
// and pixel counts, a theme table that comes back after the test, and the
// panes and colour tables of the painting tests (namespaces by subject).
namespace testkit {

using Field = std::pair<unsigned int, QVariant>;

// A record keyed `key` (a positive key is also its time) with the given fields.
inline ZtUIDataStruct::DQDUnionReader record(qint64 key, std::initializer_list<Field> fields = {})
{
    ZtUIDataStruct::DQDUnionReader r;
    r.setUniqueValue(key);
    if (key > 0)
        r.setValue(ZtUIDataStruct::eFieldDateTime, key);
    for (const Field& f : fields)
        r.setValue(f.first, f.second);
    return r;
}

// A bar with its four prices and a volume.
inline ZtUIDataStruct::DQDUnionReader ohlc(qint64 key, double open, double high, double low, double close,
                                           double volume = 1000.0)
{
    using namespace ZtUIDataStruct;
    return record(key, {{eFieldOpen, open}, {eFieldHigh, high}, {eFieldLow, low}, {eFieldClose, close},
                        {eFieldVolume, volume}});
}

inline qint64 dayKey(const QDate& d) { return (d.year() * 10000LL + d.month() * 100 + d.day()) * 1000000LL; }

inline QString samplePath(const QString& name) { return QStringLiteral(ZT_SOURCE_DIR "/data/") + name; }

// A sample file of daily bars; an empty list when it does not load.
inline ZtUIDataStruct::DQDDataList sampleBars(const QString& name = QStringLiteral("sh600000_day.csv"))
{
    ZtUIDataStruct::DQDDataList list;
    QString error;
    ZtUIDataStruct::QuoteLoader::loadBars(samplePath(name), &list, &error);
    return list;
}

// The names of a pane's lines, in order.
inline QStringList lineNames(const Formulas& lines)
{
    QStringList names;
    for (int i = 0; i < lines.lineCount(); ++i)
        names << lines.lineAt(i)->name;
    return names;
}

// Writes text into a file of a temporary folder and gives its path.
inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return path;
}

inline QImage blankImage(int w, int h, const QColor& fill = Qt::black)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

// What an element paints on a black image of w × h.
template <class Element>
QImage painted(Element& e, int w, int h)
{
    QImage img = blankImage(w, h);
    QPainter p(&img);
    e.Fill(&p);
    p.end();
    return img;
}

struct Pixel
{
    int x, y;
    QRgb rgb;
};

// Each listed pixel has exactly its colour.
inline void expectPixels(const QImage& img, std::initializer_list<Pixel> pixels)
{
    for (const Pixel& p : pixels)
        EXPECT_EQ(img.pixel(p.x, p.y), p.rgb) << "pixel " << p.x << "," << p.y;
}

// Pixels inside r that meet the test.
inline int countPixels(const QImage& img, const QRect& r, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    const QRect area = r.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(img.pixel(x, y));
    return n;
}

// Pixels of exactly this colour (alpha ignored).
inline int countColour(const QImage& img, const QRect& r, QRgb rgb)
{
    return countPixels(img, r, [rgb](QRgb p) { return (p & 0xffffff) == (rgb & 0xffffff); });
}

// Pixels painted over the background: antialiased text has few of exactly its colour.
inline int countInk(const QImage& img, const QRect& r, QRgb background = qRgb(0, 0, 0))
{
    return countPixels(img, r, [background](QRgb p) { return (p & 0xffffff) != (background & 0xffffff); });
}

// Pixels that show rgb blended over black in any strength, as antialiased
// text leaves it.
inline int countTinted(const QImage& img, const QRect& r, QRgb rgb)
{
    const int want[3] = {qRed(rgb), qGreen(rgb), qBlue(rgb)};
    const int wantTop = std::max({want[0], want[1], want[2]});
    return countPixels(img, r, [&](QRgb p) {
        const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
        const int top = std::max({c[0], c[1], c[2]});
        bool ok = top > 60 && wantTop > 0;
        for (int i = 0; i < 3 && ok; ++i)
            ok = std::abs(c[i] - want[i] * top / wantTop) <= 4;
        return ok;
    });
}

// Sets theme colours for one test; the previous tables come back with the destructor.
class ThemeColours
{
public:
    explicit ThemeColours(std::initializer_list<std::pair<const char*, const char*>> colours = {})
        : m_saved(ZtUIDataStruct::PubCacheCustom::mCustomColor), m_savedDefault(ZtUIDataStruct::PubCacheCustom::mDefultColor)
    {
        for (const auto& c : colours)
            set(QLatin1String(c.first), QLatin1String(c.second));
    }
    ~ThemeColours()
    {
        ZtUIDataStruct::PubCacheCustom::mCustomColor = m_saved;
        ZtUIDataStruct::PubCacheCustom::mDefultColor = m_savedDefault;
    }
    // Both tables empty: only what the test inserts is there.
    void clear()
    {
        ZtUIDataStruct::PubCacheCustom::mCustomColor.clear();
        ZtUIDataStruct::PubCacheCustom::mDefultColor.clear();
    }
    ThemeColours(const ThemeColours&) = delete;
    ThemeColours& operator=(const ThemeColours&) = delete;
    static void set(const QString& key, const QString& colour)
    {
        ZtUIDataStruct::PubCacheCustom::mCustomColor[key] = QStringList{colour};
    }

private:
    QHash<QString, QStringList> m_saved;
    QHash<QString, QStringList> m_savedDefault;
};

} // namespace testkit

// Shared by the axis tests: quote lists and a theme of pure colours that
// pixels can be matched against.
namespace axistest {

using testkit::blankImage;
using testkit::countColour;
using testkit::countTinted;
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
private:
    testkit::ThemeColours m_theme{
        {"Up", "#ff0000"}, {"Down", "#00ff00"}, {"Flat", "#ffffff"}, {"Klinetag", "#ffff00"},
        {"Vol", "#00ffff"}, {"Grid1", "#0000ff"}, {"Grid2", "#ff00ff"}, {"Grid3", "#808000"},
        {"Grid1DotLine", "#008080"}, {"Default", "#ff8000"}, {"DRFS_BG", "#202020"}, {"JHJJ_BG", "#303030"},
        {"ScaleplateText", "#c0c0c0"}, {"ScaleplateMastText", "#ff0000"}, {"ScaleplateSubText", "#00ff00"}};
};

} // namespace axistest

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

// Builders of hand-made quote records for the data-service tests.
namespace DataServiceFixtures {

inline ZtUIDataStruct::DQDUnionReader bar(qint64 key, double low, double high, double close,
                                          double volume, double amount = 0.0)
{
    ZtUIDataStruct::DQDUnionReader r = testkit::ohlc(key, close, high, low, close, volume);
    if (amount > 0)
        r.setValue(ZtUIDataStruct::eFieldAmount, amount);
    return r;
}

// A minute with open, close and amount; high and low span open and close.
inline ZtUIDataStruct::DQDUnionReader minute(qint64 key, double open, double close,
                                             double amount, double volume = 100.0)
{
    ZtUIDataStruct::DQDUnionReader r =
        bar(key, std::min(open, close), std::max(open, close), close, volume, amount);
    r.setValue(ZtUIDataStruct::eFieldOpen, open);
    return r;
}

inline ZtUIDataStruct::DQDUnionReader emptySlot() { return testkit::record(0); }

inline ZtUIDataStruct::DQDUnionReader readerOf(const QString& code)
{
    return ZtUIDataStruct::DQDUnionReader(PBDataChange::LBDG_QNowSingle(code, false));
}

using testkit::samplePath;
using testkit::writeFile;

inline const float kMarker = float(kZtNoValue);

} // namespace DataServiceFixtures

// Shared by the indicator pane tests: quote lists made by hand and a pane
// that reaches its protected helpers.
namespace indicatorpane {

using namespace ZtUIDataStruct;

inline const float kMarker = float(kZtNoValue);
constexpr qint64 kDay = 1000000; // one day in a yyyyMMddHHmmss key

inline DQDUnionReader record(qint64 key, double close, double volume)
{
    DQDUnionReader r;
    r.setUniqueValue(key);
    for (unsigned id : {eFieldOpen, eFieldHigh, eFieldLow, eFieldClose, eFieldAverage})
        r.setValue(id, close);
    r.setValue(eFieldVolume, volume);
    return r;
}

// Daily records keyed from 2024-01-01, one per volume.
inline DQDDataList volumeList(std::initializer_list<double> volumes)
{
    DQDDataList list;
    qint64 key = 20240101000000;
    for (double v : volumes)
        list.append(record(key += kDay, 1, v));
    return list;
}

using Series = QList<float>;

// Reaches the pane's protected helpers.
class Pane : public ZtLineLib_Formula
{
public:
    explicit Pane(enumFormulaType type, DQDDataList* list = nullptr, bool dline = false)
        : ZtLineLib_Formula(type)
    {
        setRect(0, 0, 300, 100);
        setIsDLine(dline);
        setPrec(2);
        setData(list);
        SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    }
    void FillChild(QPainter*) override {}
    const QList<float>& values(int line) const { return formulaLines().lineAt(line)->values; }
    using ZtLineLib_Formula::applyMaThemeColors;
    using ZtLineLib_Formula::createByTagDay;
    using ZtLineLib_Formula::m_formulaLines;
    using ZtLineLib_Formula::padLines;
    using ZtLineLib_Formula::resetMaxMinValue;
};

} // namespace indicatorpane
