#pragma once

// Enumerations of the indicator data service's calls.

// Which chips a moving chip distribution reports.
enum ZtE_YDCMJS_OUT_TYPE {
    eYdcmOutAll = 0,      // one profile of all chips
    eYdcmOutBefore = 1,   // per period: chips bought before it
    eYdcmOutWithin = 2,   // per period: chips bought within it
    eYdcmOutReserved = 3,
};

// How a bar's volume is spread over its price range.
enum ZtE_YDCMJS_CMFB_TYPE {
    triangular = 0,
    uniform = 1,
};

// Bar period of a list requested from the service.
enum ZtE_Period {
    ePeriodDay = 8,
};

// Dividend adjustment of a list requested from the service.
enum ZtE_DIVID {
    eDividNone = 0,
    eDividForward = 1,
};
