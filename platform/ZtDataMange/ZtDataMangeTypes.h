#pragma once

// Enumerations of the indicator data service's calls, and the record fields
// the service adds to the quote records it hands out.

// Which chips a moving chip distribution reports besides the layer of all
// chips (id 0), one layer per period P of the request. Unknown values act as
// eYdcmOutAll.
enum ZtE_YDCMJS_OUT_TYPE {
    eYdcmOutAll = 0,       // the layer of all chips only
    eYdcmOutBefore = 1,    // per period: chips bought before the last P bars
    eYdcmOutWithin = 2,    // per period: chips bought within the last P bars
    eYdcmOutReserved = 3,  // answered like eYdcmOutAll
};

// How a bar's volume is spread over its price range.
enum ZtE_YDCMJS_CMFB_TYPE {
    triangular = 0,  // peak at the bar's average price, falling towards low and high
    uniform = 1,     // the same amount on every price row of the range
};

// Bar period of a list requested from the service. The registry keeps daily
// bars only: other values give empty lists.
enum ZtE_Period {
    ePeriodDay = 8,
};

// Dividend adjustment of a list requested from the service. The service holds
// no dividend records: bars come back as the host registered them (a host
// that wants adjusted prices registers adjusted bars) whatever the mode.
enum ZtE_DIVID {
    eDividNone = 0,
    eDividForward = 1,
};

// Fields the service writes into the records it hands out (quote fields are
// those of DQDFieldId.h).
enum ZtE_ServiceField : unsigned int {
    eZtFieldCode = 10010,         // text: instrument code (on the Q_DD_Now reader)
    eZtFieldName = 10020,         // text: instrument name (on the Q_DD_Now reader)
    eZtFieldFloatShares = 10030,  // double: free-float shares in force at the bar
};
