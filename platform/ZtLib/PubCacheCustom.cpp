#include "PubCacheCustom.h"

namespace ZtUIDataStruct {

QHash<QString, QStringList> PubCacheCustom::mCustomColor;
QHash<QString, QStringList> PubCacheCustom::mDefultColor = PubCacheCustom::darkTheme();

// Black chart face: red rises, green falls, dark red grid as quote terminals
// have it, bright line colours that stay apart from each other and from the
// candle colours.
QHash<QString, QStringList> PubCacheCustom::darkTheme()
{
    return {
        {QStringLiteral("Background"), {QStringLiteral("#000000")}},
        {QStringLiteral("KUp"), {QStringLiteral("#ff3232")}},
        {QStringLiteral("KDown"), {QStringLiteral("#00e600")}},
        {QStringLiteral("KFlat"), {QStringLiteral("#c8c8c8")}},
        {QStringLiteral("Up"), {QStringLiteral("#ff3232")}},
        {QStringLiteral("Down"), {QStringLiteral("#00e600")}},
        {QStringLiteral("Flat"), {QStringLiteral("#d2d2d2")}},
        {QStringLiteral("Vol"), {QStringLiteral("#e6c84a")}},
        {QStringLiteral("Klinetag"), {QStringLiteral("#e84a4a")}},
        {QStringLiteral("Default"), {QStringLiteral("#d8d8d8")}},
        {QStringLiteral("Grid1"), {QStringLiteral("#7a1e1e")}},
        {QStringLiteral("Grid2"), {QStringLiteral("#9e2a2a")}},
        {QStringLiteral("Grid3"), {QStringLiteral("#3c1212")}},
        {QStringLiteral("Grid1DotLine"), {QStringLiteral("#5a1a1a")}},
        {QStringLiteral("DRFS_BG"), {QStringLiteral("#10141c")}},
        {QStringLiteral("JHJJ_BG"), {QStringLiteral("#161626")}},
        {QStringLiteral("ScaleplateText"), {QStringLiteral("#c0c0c0")}},
        {QStringLiteral("ScaleplateMastText"), {QStringLiteral("#e8e8e8")}},
        {QStringLiteral("ScaleplateSubText"), {QStringLiteral("#8a8a8a")}},
        {QStringLiteral("CrossCurvePen"), {QStringLiteral("#b4b4b4")}},
        {QStringLiteral("CrossCurveText"), {QStringLiteral("#ffffff")}},
        {QStringLiteral("CrossCurveBorderPen"), {QStringLiteral("#5a82d2")}},
        {QStringLiteral("CrossCurveBackground"), {QStringLiteral("#14243e")}},
        {QStringLiteral("DLineLine"), {QStringLiteral("#f0f0f0")}},
        {QStringLiteral("DLineAvgLine"), {QStringLiteral("#f5c518")}},
        // The first seven stand in for the basic colours of formula output
        // (white, yellow, magenta, green, red, blue, cyan) and keep their hues.
        {QStringLiteral("FormulasList"),
         {QStringLiteral("#ffffff"), QStringLiteral("#ffd700"), QStringLiteral("#ff4dff"),
          QStringLiteral("#00e676"), QStringLiteral("#ff4d4d"), QStringLiteral("#4d6bff"),
          QStringLiteral("#00d8d8"), QStringLiteral("#b48cff"), QStringLiteral("#c8a064"),
          QStringLiteral("#ff7a9c")}},
        {QStringLiteral("KLineMAs"),
         {QStringLiteral("#ffffff"), QStringLiteral("#ffd700"), QStringLiteral("#ff4dff"),
          QStringLiteral("#00e676"), QStringLiteral("#4da6ff"), QStringLiteral("#ff8c1a")}},
        // Chip bands: warm for recent chips, cooling towards old ones.
        {QStringLiteral("KLineYDCMN"),
         {QStringLiteral("#ff3c3c"), QStringLiteral("#3c8cff"), QStringLiteral("#ffd23c"),
          QStringLiteral("#a0a0a0")}},
        {QStringLiteral("KLineYDCMQ"),
         {QStringLiteral("#ff5a1e"), QStringLiteral("#ffb41e"), QStringLiteral("#e6e632"),
          QStringLiteral("#50d250"), QStringLiteral("#32b4e6"), QStringLiteral("#7878ff"),
          QStringLiteral("#c878ff")}},
    };
}

// The same keys for a white chart face: deeper tones so that thin lines and
// small text keep their contrast on white.
QHash<QString, QStringList> PubCacheCustom::lightTheme()
{
    return {
        {QStringLiteral("Background"), {QStringLiteral("#ffffff")}},
        {QStringLiteral("KUp"), {QStringLiteral("#e02424")}},
        {QStringLiteral("KDown"), {QStringLiteral("#00a050")}},
        {QStringLiteral("KFlat"), {QStringLiteral("#606060")}},
        {QStringLiteral("Up"), {QStringLiteral("#e02424")}},
        {QStringLiteral("Down"), {QStringLiteral("#00a050")}},
        {QStringLiteral("Flat"), {QStringLiteral("#505050")}},
        {QStringLiteral("Vol"), {QStringLiteral("#9a6e00")}},
        {QStringLiteral("Klinetag"), {QStringLiteral("#c03030")}},
        {QStringLiteral("Default"), {QStringLiteral("#202020")}},
        {QStringLiteral("Grid1"), {QStringLiteral("#c8c8c8")}},
        {QStringLiteral("Grid2"), {QStringLiteral("#a8a8a8")}},
        {QStringLiteral("Grid3"), {QStringLiteral("#e6e6e6")}},
        {QStringLiteral("Grid1DotLine"), {QStringLiteral("#d2d2d2")}},
        {QStringLiteral("DRFS_BG"), {QStringLiteral("#f2f5fa")}},
        {QStringLiteral("JHJJ_BG"), {QStringLiteral("#f0f0f8")}},
        {QStringLiteral("ScaleplateText"), {QStringLiteral("#404040")}},
        {QStringLiteral("ScaleplateMastText"), {QStringLiteral("#101010")}},
        {QStringLiteral("ScaleplateSubText"), {QStringLiteral("#808080")}},
        {QStringLiteral("CrossCurvePen"), {QStringLiteral("#505050")}},
        {QStringLiteral("CrossCurveText"), {QStringLiteral("#ffffff")}},
        {QStringLiteral("CrossCurveBorderPen"), {QStringLiteral("#2a5aa8")}},
        {QStringLiteral("CrossCurveBackground"), {QStringLiteral("#3a6cc0")}},
        {QStringLiteral("DLineLine"), {QStringLiteral("#1e50b4")}},
        {QStringLiteral("DLineAvgLine"), {QStringLiteral("#e08a00")}},
        {QStringLiteral("FormulasList"),
         {QStringLiteral("#303030"), QStringLiteral("#d08c00"), QStringLiteral("#c800c8"),
          QStringLiteral("#00963c"), QStringLiteral("#dc1e1e"), QStringLiteral("#1e46dc"),
          QStringLiteral("#008c96"), QStringLiteral("#7846c8"), QStringLiteral("#8c6428"),
          QStringLiteral("#d23c6e")}},
        {QStringLiteral("KLineMAs"),
         {QStringLiteral("#303030"), QStringLiteral("#d08c00"), QStringLiteral("#c800c8"),
          QStringLiteral("#00963c"), QStringLiteral("#1e64dc"), QStringLiteral("#e05a00")}},
        {QStringLiteral("KLineYDCMN"),
         {QStringLiteral("#e03232"), QStringLiteral("#2a6ee0"), QStringLiteral("#d2a000"),
          QStringLiteral("#909090")}},
        {QStringLiteral("KLineYDCMQ"),
         {QStringLiteral("#e04a14"), QStringLiteral("#e69614"), QStringLiteral("#b4b400"),
          QStringLiteral("#32a032"), QStringLiteral("#1e8cc8"), QStringLiteral("#5050e0"),
          QStringLiteral("#a050e0")}},
    };
}

} // namespace ZtUIDataStruct
