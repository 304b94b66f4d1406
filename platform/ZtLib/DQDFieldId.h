#pragma once

namespace ZtUIDataStruct {

// Field identifiers of quote and event records.
enum DQDFieldId : unsigned int {
    eFieldDateTime = 33010,  // qint64 yyyyMMddHHmmss
    eFieldPreClose = 33020,  // double
    eFieldOpen = 33030,
    eFieldHigh = 33040,
    eFieldLow = 33050,
    eFieldClose = 33060,
    eFieldAverage = 33070,   // intraday average price
    eFieldVolume = 33090,    // shares
    eFieldAmount = 33100,    // yuan
    eFieldChange = 33130,    // price change of the bar
    eFieldDividendTime = 34010,  // qint64, event type 2
    eFieldDividendText = 34060,  // text
    eFieldLevelTime = 36020,     // qint64, event type 4 (and every D-line event)
    eFieldLevel = 36060,         // qint64
    eFieldNoticeTime = 42020,    // qint64, event type 8
    eFieldNoticeText1 = 42040,   // text
    eFieldNoticeText2 = 42050,   // text
};

} // namespace ZtUIDataStruct
