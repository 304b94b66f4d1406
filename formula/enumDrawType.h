#pragma once

// How an indicator line is painted. Lines of any other value stay in the
// pane's list but are not painted.
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
};
