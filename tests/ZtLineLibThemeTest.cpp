#include "TestKit.h"

#include <QSet>

using ZtUIDataStruct::PubCacheCustom;

namespace {

// Restores the process-wide theme tables after each test.
class ThemeTest : public ::testing::Test
{
    testkit::ThemeColours m_saved;
};

const char* const kPenKeys[] = {
    "KUp", "KDown", "KFlat", "Up", "Down", "Flat", "Vol", "Klinetag", "Default", "Grid1",
    "Grid2", "Grid3", "Grid1DotLine", "DRFS_BG", "JHJJ_BG", "ScaleplateText",
    "ScaleplateMastText", "ScaleplateSubText", "CrossCurvePen", "CrossCurveText",
    "CrossCurveBorderPen", "CrossCurveBackground", "DLineLine", "DLineAvgLine", "Background"};

} // namespace

TEST_F(ThemeTest, BothThemesColourEveryKey)
{
    EXPECT_TRUE(PubCacheCustom::mCustomColor.isEmpty());
    EXPECT_EQ(PubCacheCustom::mDefultColor, PubCacheCustom::darkTheme());
    const QHash<QString, QStringList> themes[] = {PubCacheCustom::darkTheme(),
                                                  PubCacheCustom::lightTheme()};
    for (const auto& theme : themes) {
        for (const char* key : kPenKeys)
            EXPECT_EQ(theme.value(QLatin1String(key)).size(), 1) << key;
        for (auto [key, least] : {std::pair{"FormulasList", 7}, {"KLineMAs", 5}, {"KLineYDCMN", 3}, {"KLineYDCMQ", 3}})
            EXPECT_GE(theme.value(QLatin1String(key)).size(), least) << key;
        for (auto it = theme.begin(); it != theme.end(); ++it) {
            for (const QString& name : it.value())
                EXPECT_TRUE(QColor::isValidColor(name)) << qPrintable(it.key());
        }
        // Candles and lines must stand out from the face they are drawn on.
        const QColor face(theme.value(QStringLiteral("Background")).first());
        for (const char* key : {"KUp", "KDown", "Default", "DLineLine"}) {
            const QColor c(theme.value(QLatin1String(key)).first());
            EXPECT_GT(qAbs(c.lightness() - face.lightness()), 80) << key;
        }
        // Formula colour names map to the first seven entries, so each must
        // keep the hue of its name (COLORRED stays red, so all seven differ);
        // white may become a grey that shows on the face.
        const QStringList lines = theme.value(QStringLiteral("FormulasList"));
        const int basicHues[] = {-1, 60, 300, 120, 0, 240, 180};
        for (int i = 0; i < 7; ++i) {
            const QColor c(lines.at(i));
            const int d = qAbs(c.hsvHue() - basicHues[i]) % 360;
            if (basicHues[i] < 0)
                EXPECT_LT(c.hsvSaturation(), 30) << i;
            else
                EXPECT_LE(std::min(d, 360 - d), 35) << i << " " << qPrintable(lines.at(i));
        }
    }
    const QStringList dark = PubCacheCustom::darkTheme().keys(), light = PubCacheCustom::lightTheme().keys();
    EXPECT_EQ(QSet<QString>(dark.begin(), dark.end()), QSet<QString>(light.begin(), light.end()));
}

TEST_F(ThemeTest, PenAndListLookupOrder)
{
    QStringList eight;
    for (int i = 0; i < 8; ++i)
        eight << QColor(i * 30, 0, 0).name();
    PubCacheCustom::mDefultColor = {{QStringLiteral("KUp"), {QStringLiteral("#ff0000"), QStringLiteral("#0000ff")}},
                                    {QStringLiteral("Grid1"), {QStringLiteral("#101010")}},
                                    {QStringLiteral("Empty"), {}}, {QStringLiteral("FormulasList"), eight}};
    PubCacheCustom::mCustomColor = {
        {QStringLiteral("KUp"), {QStringLiteral("#00ffff")}},
        {QStringLiteral("FormulasList"), {QStringLiteral("#00ff00"), QStringLiteral("#0000ff")}}};

    // Too short a custom list gives way to the default list, not to its own
    // last entry; past both lists, or a negative index: the key as a colour name.
    for (auto [index, colour] : {std::pair{1, QColor(0, 0, 255)}, {3, QColor(90, 0, 0)}, {8, QColor()}, {-1, QColor()}})
        EXPECT_EQ(getThemePenAt(QStringLiteral("FormulasList"), index).color(), colour) << index;
    EXPECT_EQ(getThemeColorCount(QStringLiteral("FormulasList")), 2);
    EXPECT_EQ(getThemePenAt(QStringLiteral("red"), -1).color(), QColor(Qt::red));
    EXPECT_EQ(getThemePenAt(QStringLiteral("FormulasList"), 0).style(), Qt::SolidLine);

    const QPen custom = getThemePen(QStringLiteral("KUp"), Qt::DashLine);
    EXPECT_EQ(custom, QPen(QBrush(QColor(0, 255, 255)), 1.0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin));
    PubCacheCustom::mCustomColor.clear();
    EXPECT_EQ(getThemePen(QStringLiteral("KUp"), Qt::SolidLine).color(), QColor(255, 0, 0));
    EXPECT_EQ(getThemePen(QStringLiteral("Grid1"), Qt::DotLine).style(), Qt::DotLine);
    EXPECT_EQ(getThemeColorCount(QStringLiteral("FormulasList")), 8);
    EXPECT_EQ(getThemeColorCount(QStringLiteral("KLineMAs")), -1);

    // Not in a table: the key is the colour, the style always solid.
    EXPECT_EQ(getThemePen(QStringLiteral("#00ff00"), Qt::DashLine), QPen(QColor(0, 255, 0)));
    EXPECT_FALSE(getThemePen(QStringLiteral("NoSuchKey"), Qt::SolidLine).color().isValid());
    EXPECT_FALSE(getThemePen(QStringLiteral("Empty"), Qt::SolidLine).color().isValid());
    // An empty custom list leaves the default colour, as the list lookup does.
    PubCacheCustom::mCustomColor = {{QStringLiteral("KUp"), {}}};
    EXPECT_EQ(getThemePen(QStringLiteral("KUp"), Qt::SolidLine).color(), QColor(255, 0, 0));
    EXPECT_EQ(getThemePenAt(QStringLiteral("KUp"), 0).color(), QColor(255, 0, 0));
}
