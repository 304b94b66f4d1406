#include "FormulaBuiltins.h"

#include <initializer_list>

namespace {

struct Param
{
    const char* name;
    float value;
    float minimum;
    float maximum;
};

TagFormularContent make(const char* name, const char* description, const char* group,
                        bool overlay, const char* source, std::initializer_list<Param> params)
{
    TagFormularContent c;
    c.texts[0] = name;
    c.texts[1] = description;
    c.texts[2] = source;
    c.texts[4] = group;
    c.numbers[0] = overlay ? 1 : 0;
    for (const Param& p : params) {
        const int j = c.paramCount++;
        c.paramNames[j] = p.name;
        c.params[0][j] = p.minimum;
        c.params[1][j] = p.maximum;
        c.params[2][j] = p.value;
        c.params[3][j] = p.value;
        c.params[4][j] = 1.0f;
    }
    return c;
}

} // namespace

std::vector<TagFormularContent> FormulaBuiltins::all()
{
    return {
        make("MA", "Moving averages", "trend", true,
             "MA1:MA(CLOSE,M1);\nMA2:MA(CLOSE,M2);\nMA3:MA(CLOSE,M3);\n"
             "MA4:MA(CLOSE,M4);\nMA5:MA(CLOSE,M5);",
             // 0 switches a line off.
             {{"M1", 5, 0, 1000}, {"M2", 10, 0, 1000}, {"M3", 20, 0, 1000},
              {"M4", 30, 0, 1000}, {"M5", 60, 0, 1000}}),
        make("MACD", "Moving average convergence divergence", "trend", false,
             "DIFF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\nDEA:EMA(DIFF,MID);\n"
             "MACD:(DIFF-DEA)*2,COLORSTICK;",
             {{"SHORT", 12, 2, 200}, {"LONG", 26, 2, 200}, {"MID", 9, 2, 200}}),
        make("KDJ", "Stochastic oscillator", "oscillator", false,
             "RSV:=(CLOSE-LLV(LOW,N))/(HHV(HIGH,N)-LLV(LOW,N))*100;\n"
             "K:SMA(RSV,M1,1);\nD:SMA(K,M2,1);\nJ:3*K-2*D;",
             {{"N", 9, 1, 100}, {"M1", 3, 2, 100}, {"M2", 3, 2, 100}}),
        make("BIAS", "Deviation from the moving average", "oscillator", false,
             "BIAS1:(CLOSE-MA(CLOSE,N1))/MA(CLOSE,N1)*100;\n"
             "BIAS2:(CLOSE-MA(CLOSE,N2))/MA(CLOSE,N2)*100;\n"
             "BIAS3:(CLOSE-MA(CLOSE,N3))/MA(CLOSE,N3)*100;",
             {{"N1", 6, 1, 300}, {"N2", 12, 1, 300}, {"N3", 24, 1, 300}}),
        make("CCI", "Commodity channel index", "oscillator", false,
             "TYP:=(HIGH+LOW+CLOSE)/3;\nCCI:(TYP-MA(TYP,N))/(0.015*AVEDEV(TYP,N));",
             {{"N", 14, 2, 100}}),
        make("CR", "Energy (mid-price momentum)", "oscillator", false,
             "MID:=REF(HIGH+LOW,1)/2;\n"
             "CR:SUM(MAX(0,HIGH-MID),N)/SUM(MAX(0,MID-LOW),N)*100;\n"
             "MA1:REF(MA(CR,M1),M1/2.5+1);\nMA2:REF(MA(CR,M2),M2/2.5+1);\n"
             "MA3:REF(MA(CR,M3),M3/2.5+1);\nMA4:REF(MA(CR,M4),M4/2.5+1);",
             {{"N", 26, 5, 300}, {"M1", 10, 1, 100}, {"M2", 20, 1, 100}, {"M3", 40, 1, 100},
              {"M4", 62, 1, 100}}),
        make("VR", "Volume ratio", "volume", false,
             "TH:=SUM(IF(CLOSE>REF(CLOSE,1),VOL,0),N);\n"
             "TL:=SUM(IF(CLOSE<REF(CLOSE,1),VOL,0),N);\n"
             "TQ:=SUM(IF(CLOSE=REF(CLOSE,1),VOL,0),N);\n"
             "VR:100*(TH*2+TQ)/(TL*2+TQ);\nMAVR:MA(VR,M);",
             {{"N", 26, 5, 300}, {"M", 6, 1, 100}}),
        make("WR", "Williams %R", "oscillator", false,
             "WR1:100*(HHV(HIGH,N)-CLOSE)/(HHV(HIGH,N)-LLV(LOW,N));\n"
             "WR2:100*(HHV(HIGH,N1)-CLOSE)/(HHV(HIGH,N1)-LLV(LOW,N1));",
             {{"N", 10, 2, 100}, {"N1", 6, 2, 100}}),
        make("RSI", "Relative strength index", "oscillator", false,
             "LC:=REF(CLOSE,1);\n"
             "RSI1:SMA(MAX(CLOSE-LC,0),N1,1)/SMA(ABS(CLOSE-LC),N1,1)*100;\n"
             "RSI2:SMA(MAX(CLOSE-LC,0),N2,1)/SMA(ABS(CLOSE-LC),N2,1)*100;\n"
             "RSI3:SMA(MAX(CLOSE-LC,0),N3,1)/SMA(ABS(CLOSE-LC),N3,1)*100;",
             {{"N1", 6, 2, 120}, {"N2", 12, 2, 250}, {"N3", 24, 2, 500}}),
        make("BOLL", "Bollinger bands", "trend", true,
             "BOLL:MA(CLOSE,M);\nUB:BOLL+P*STD(CLOSE,M);\nLB:BOLL-P*STD(CLOSE,M);",
             {{"M", 20, 2, 120}, {"P", 2, 1, 10}}),
        make("DMA", "Difference of moving averages", "trend", false,
             "DIF:MA(CLOSE,N1)-MA(CLOSE,N2);\nDIFMA:MA(DIF,M);",
             {{"N1", 10, 2, 60}, {"N2", 50, 2, 250}, {"M", 10, 2, 100}}),
        make("MTM", "Momentum", "oscillator", false,
             "MTM:CLOSE-REF(CLOSE,N);\nMAMTM:MA(MTM,M);",
             {{"N", 12, 1, 120}, {"M", 6, 1, 60}}),
        make("AB", "Popularity (AR) and willingness (BR)", "oscillator", false,
             "AR:SUM(HIGH-OPEN,N)/SUM(OPEN-LOW,N)*100;\n"
             "BR:SUM(MAX(0,HIGH-REF(CLOSE,1)),N)/SUM(MAX(0,REF(CLOSE,1)-LOW),N)*100;",
             {{"N", 26, 2, 300}}),
    };
}
