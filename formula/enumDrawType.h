#pragma once

// How an indicator line is painted. Lines of any other value stay in the
// pane's list but are not painted.
//
// The values from 301 on are the drawings of formulas (STICKLINE, DRAWKLINE
// …); how their series are laid out is described with the engine's draw
// types (FormulaDrawType.h), which use the same numbers.
enum enumDrawType {
    eLINE = 0,
    eSMOOTHLINE = 1,
    eVOLSTICK = 2,
    eVOLSTICK2 = 3,
    eCOLORSTICK = 7,
    eDRAWTEXT = 200,
    eDRAWICON = 201,
    eKLINE = 223,
    eYDCM = 300,
    eSTICKLINE = 301,    // sticks or bars between two prices
    eDRAWKLINE = 302,    // candles from four series
    eSEGMENT = 303,      // straight lines between two bars (DRAWLINE, HORLINE, DRAWSL)
    ePOLYLINE = 304,     // a line through the bars that have a point
    ePARTLINE = 305,     // a line in colours per bar
    eDRAWNUMBER = 306,   // a number at a price
    eNUMBER_FIX = 307,   // a number at a fixed place of the pane
    eTEXT_FIX = 308,     // a text at a fixed place of the pane
    eDRAWBAND = 309,     // the area between two lines in two colours
    eFILLRGN = 310,      // the area between two lines in colours per bar
    eDRAWGBK = 311,      // the pane's background
    eVERTLINE = 312,     // vertical lines across the pane
};

// Which of a line's four series (bit 0 values … bit 3 values4) hold prices
// and so take part in the pane's value range. Numbers shown as text, offsets,
// screen fractions and conditions do not.
inline int ztRangeSeriesOf(int drawType)
{
    switch (drawType) {
    case eSTICKLINE:
    case eSEGMENT:
    case eDRAWBAND:
    case eFILLRGN:
        return 0x3;
    // Icons and texts stand at their first series; an icon line's second
    // series holds icon numbers, which are no values on the axis.
    case eDRAWICON:
    case eDRAWTEXT:
    case ePOLYLINE:
    case ePARTLINE:
    case eDRAWNUMBER:
        return 0x1;
    case eNUMBER_FIX:
    case eTEXT_FIX:
    case eDRAWGBK:
    case eVERTLINE:
        return 0;
    default:
        return 0xF;
    }
}
