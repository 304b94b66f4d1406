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
        std::printf("%s %s\n", qPrintable(name), print.constData());
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

    // Band width, shown bars and the fingerprints of the four panes: wide
    // bodies, a few pixels a slot, thin candles (slots up to four pixels),
    // several items per pixel column.
    const struct { Pane::enumFormulaType type; const char* name; QList<float> params; int prec; } panes[] = {
        {Pane::eFT_KLINE, "kline", {}, 2}, {Pane::eFT_VOL, "vol", {5, 10}, 2},
        {Pane::eFT_MACD, "macd", {}, 3}, {Pane::eFT_MA, "ma", {}, 2},
    };
    const struct { int width; int count; const char* want[4]; } windows[] = {
        {1528, 30, {"ed83c0160a36d442", "285fdcfbc9ce1a23", "25f7f08e9f5ef15a", "0ede7d0c595843a9"}},
        {1528, 200, {"137397c9a72e216a", "74e4be3f1ccb2c54", "5deecf1e44a06915", "e0fb8457a5c061b6"}},
        {1528, 700, {"6df2855710d92409", "d80d573a528ee76b", "45f683517e82f1f4", "4c38b5e22dc96011"}},
        {600, 1000, {"a579bc765dd4d0b5", "0a0971d18567937f", "2438578ad58764c7", "fcc73e9c04bf3de1"}},
        {250, 1000, {"0ee4a3cb67a74780", "c57eab1119ee1602", "fc17d3df6634c29b", "156ba993c4a0d247"}},
    };

    for (const auto& w : windows) {
        for (int i = 0; i < 4; ++i) {
            Pane pane(panes[i].type);
            pane.setPrec(panes[i].prec);
            if (!panes[i].params.isEmpty())
                pane.m_params = panes[i].params;
            compute(pane, &bars, w.width, bars.count() - w.count, w.count);
            const QString name = QStringLiteral("%1_%2_%3").arg(panes[i].name).arg(w.width).arg(w.count);
            EXPECT_EQ(paint(pane, name), w.want[i]) << qPrintable(name);
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
    // Fingerprints of the price and the volume pane at each width.
    const struct { int width; const char* want[2]; } widths[] = {
        {1528, {"a8e946b6283aaccd", "76abfa63eebaa987"}},
        {600, {"89cd8487227c94b0", "6ab2a50e5ecc2fdf"}},
    };
    for (const auto& w : widths) {
        for (int i = 0; i < 2; ++i) {
            Pane pane(i == 0 ? Pane::eFT_DLINE : Pane::eFT_DLINEVOL);
            pane.setIsDLine(true);
            pane.setIsMainChat(true);
            pane.setShowDRFS(5);
            pane.setPrec(2);
            if (i == 0)
                pane.m_params = {1};
            compute(pane, &minutes, w.width, 0, minutes.count());
            const QString name = QStringLiteral("%1_%2").arg(i == 0 ? "dline" : "dlinevol").arg(w.width);
            EXPECT_EQ(paint(pane, name), w.want[i]) << qPrintable(name);
        }
    }
}
