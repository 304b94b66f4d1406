#pragma once

// Enumerations of the indicator data service calls, and the record fields the
// service adds to the quote records it hands out.

// Bar period of PBDataChange::LBGD_Kline. The registry keeps daily bars only,
// so eZtPeriodDay is the one period answered; the others give empty lists.
enum ZtE_Period {
    eZtPeriodMin1 = 1,
    eZtPeriodMin3 = 2,
    eZtPeriodMin5 = 3,
    eZtPeriodMin15 = 4,
    eZtPeriodMin30 = 5,
    eZtPeriodMin60 = 6,
    eZtPeriodMin120 = 7,
    eZtPeriodDay = 8,
    eZtPeriodWeek = 9,
    eZtPeriodMonth = 10,
    eZtPeriodQuarter = 11,
    eZtPeriodYear = 12,
};

// Dividend adjustment of PBDataChange::LBGD_Kline. The service holds no
// dividend records: bars come back as the host registered them (a host that
// wants adjusted prices registers adjusted bars) whatever the mode.
enum ZtE_DIVID {
    eZtDividNone = 0,
    eZtDividForward = 1,
    eZtDividBackward = 2,
};

// Which layers ZtZB_Ydcmjs::Ydcmjs returns besides the layer of all chips
// (id 0). Unknown values act as eZtYdcmOutAll.
enum ZtE_YDCMJS_OUT_TYPE {
    eZtYdcmOutAll = 0,      // the layer of all chips only
    eZtYdcmOutYounger = 1,  // plus, per period P, the chips laid in the last P bars
    eZtYdcmOutOlder = 2,    // plus, per period P, the chips laid before the last P bars
};

// How a bar lays its new chips over its low–high range.
enum ZtE_YDCMJS_CMFB_TYPE {
    eZtYdcmTriangular = 0,  // peak at the bar's average price, falling to its low and high
    eZtYdcmUniform = 1,     // equal amount on every price row of the range
};

// Fields the service writes into the records it hands out (quote fields are
// those of DQDFieldId.h).
enum ZtE_ServiceField : unsigned int {
    eZtFieldCode = 10010,         // text: instrument code (on the Q_DD_Now reader)
    eZtFieldName = 10020,         // text: instrument name (on the Q_DD_Now reader)
    eZtFieldFloatShares = 10030,  // double: free-float shares in force at the bar
};
