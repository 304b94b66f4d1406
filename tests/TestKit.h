#pragma once

#include <ZtLineLib.h>

#include <QDate>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <functional>
#include <utility>

// The fixtures every test file shares: quote records, sample files, images
// and pixel counts, and a theme table that comes back after the test.
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

inline qint64 dayKey(const QDate& d)
{
    return (d.year() * 10000LL + d.month() * 100 + d.day()) * 1000000LL;
}

inline QString samplePath(const QString& name)
{
    return QStringLiteral(ZT_SOURCE_DIR "/data/") + name;
}

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

// Sets theme colours for one test; the previous table comes back with the destructor.
class ThemeColours
{
public:
    explicit ThemeColours(std::initializer_list<std::pair<const char*, const char*>> colours = {})
        : m_saved(ZtUIDataStruct::PubCacheCustom::mCustomColor)
    {
        for (const auto& c : colours)
            set(QLatin1String(c.first), QLatin1String(c.second));
    }
    ~ThemeColours() { ZtUIDataStruct::PubCacheCustom::mCustomColor = m_saved; }
    ThemeColours(const ThemeColours&) = delete;
    ThemeColours& operator=(const ThemeColours&) = delete;
    static void set(const QString& key, const QString& colour)
    {
        ZtUIDataStruct::PubCacheCustom::mCustomColor[key] = QStringList{colour};
    }

private:
    QHash<QString, QStringList> m_saved;
};

} // namespace testkit
