// Whole panes computed from the sample quotes and painted at several slot
// widths, from a few wide candles to many items per pixel column, compared
// with fingerprints of their pixels. The painters batch, reorder and
// replace primitives for speed; every such change must leave each pixel as
// it was, and these fingerprints catch a single one that moves.
//
// After a deliberate change of the picture, print the new fingerprints with
//     ZT_PRINT_PIXEL_HASHES=1 zt_tests --gtest_filter='PanePixelHash*'
// and look at the images it writes to the temporary folder before taking
// them over.

#include "TestKit.h"

#include <QCryptographicHash>
#include <QDir>

#include <cstdio>

using namespace ZtUIDataStruct;

namespace {

using Pane = ZtLineLib_Formula;

QByteArray fingerprint(const QImage& image)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < image.height(); ++y)
        hash.addData(QByteArray::fromRawData(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4));
    return hash.result().toHex().left(16);
}

// Paints the pane into a black image of its rectangle's size and returns the
// fingerprint; the image goes to the temporary folder when asked for.
QByteArray paint(Pane& pane, const QString& name)
{
    const QRect r = pane.getRect().toAlignedRect();
    const QImage image = testkit::painted(pane, r.width(), r.height());
    const QByteArray print = fingerprint(image);
    if (qEnvironmentVariableIsSet("ZT_PRINT_PIXEL_HASHES")) {
        image.save(QDir::temp().filePath(QStringLiteral("zt_pixels_%1.png").arg(name)));
        std::printf("        {\"%s\", \"%s\"},\n", qPrintable(name), print.constData());
    }
    return print;
}

void compute(Pane& pane, DQDDataList* list, int width, int first, int count)
{
    pane.setRect(0, 0, width, 300);
    pane.setData(list);
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    pane.setRange(first, count);
}

} // namespace

TEST(PanePixelHash, DailyPanesAtEverySlotWidth)
{
    DQDDataList bars = testkit::sampleBars();
    ASSERT_EQ(bars.count(), 1000);

    // Band width and shown bars: wide bodies, a few pixels a slot, thin
    // candles (slots up to four pixels), several items per pixel column.
    const struct { int width; int count; } windows[] = {
        {1528, 30}, {1528, 200}, {1528, 700}, {600, 1000}, {250, 1000},
    };
    const struct { Pane::enumFormulaType type; const char* name; QList<float> params; int prec; } panes[] = {
        {Pane::eFT_KLINE, "kline", {}, 2}, {Pane::eFT_VOL, "vol", {5, 10}, 2},
        {Pane::eFT_MACD, "macd", {}, 3}, {Pane::eFT_MA, "ma", {}, 2},
    };

    const QMap<QString, QByteArray> want = {
        {"kline_1528_30", "ed83c0160a36d442"},
        {"vol_1528_30", "285fdcfbc9ce1a23"},
        {"macd_1528_30", "25f7f08e9f5ef15a"},
        {"ma_1528_30", "0ede7d0c595843a9"},
        {"kline_1528_200", "137397c9a72e216a"},
        {"vol_1528_200", "74e4be3f1ccb2c54"},
        {"macd_1528_200", "5deecf1e44a06915"},
        {"ma_1528_200", "e0fb8457a5c061b6"},
        {"kline_1528_700", "6df2855710d92409"},
        {"vol_1528_700", "d80d573a528ee76b"},
        {"macd_1528_700", "45f683517e82f1f4"},
        {"ma_1528_700", "4c38b5e22dc96011"},
        {"kline_600_1000", "a579bc765dd4d0b5"},
        {"vol_600_1000", "0a0971d18567937f"},
        {"macd_600_1000", "2438578ad58764c7"},
        {"ma_600_1000", "fcc73e9c04bf3de1"},
        {"kline_250_1000", "0ee4a3cb67a74780"},
        {"vol_250_1000", "c57eab1119ee1602"},
        {"macd_250_1000", "fc17d3df6634c29b"},
        {"ma_250_1000", "156ba993c4a0d247"},
    };

    for (const auto& w : windows) {
        for (const auto& t : panes) {
            Pane pane(t.type);
            pane.setPrec(t.prec);
            if (!t.params.isEmpty())
                pane.m_params = t.params;
            compute(pane, &bars, w.width, bars.count() - w.count, w.count);
            const QString name = QStringLiteral("%1_%2_%3").arg(t.name).arg(w.width).arg(w.count);
            EXPECT_EQ(paint(pane, name), want.value(name)) << qPrintable(name);
        }
    }
}

TEST(PanePixelHash, FiveDayIntradayPanes)
{
    DQDDataList minutes;
    QString error;
    QuoteLoader::MinuteOptions opt;
    opt.days = 5;
    ASSERT_TRUE(QuoteLoader::loadMinutes(testkit::samplePath("sh600000_dline5.csv"), &minutes, opt, &error))
        << qPrintable(error);
    const QMap<QString, QByteArray> want = {
        {"dline_1528", "a8e946b6283aaccd"},
        {"dlinevol_1528", "76abfa63eebaa987"},
        {"dline_600", "89cd8487227c94b0"},
        {"dlinevol_600", "6ab2a50e5ecc2fdf"},
    };

    for (int width : {1528, 600}) {
        for (auto [type, kind] : {std::pair{Pane::eFT_DLINE, "dline"}, {Pane::eFT_DLINEVOL, "dlinevol"}}) {
            Pane pane(type);
            pane.setIsDLine(true);
            pane.setIsMainChat(true);
            pane.setShowDRFS(5);
            pane.setPrec(2);
            if (type == Pane::eFT_DLINE)
                pane.m_params = {1};
            compute(pane, &minutes, width, 0, minutes.count());
            const QString name = QStringLiteral("%1_%2").arg(kind).arg(width);
            EXPECT_EQ(paint(pane, name), want.value(name)) << qPrintable(name);
        }
    }
}
