// Drives every chart element with a fuzzed quote list, window, rectangle,
// paddings and flags: setRange, the queries a host makes and Fill on a small
// image.

#include "FuzzSupport.h"

#include <ZtLineLib.h>

#include <QImage>
#include <QPainter>

namespace {

using namespace ZtUIDataStruct;

const ZtLineLib_Formula::enumFormulaType kTypes[] = {
    ZtLineLib_Formula::eFT_NONE, ZtLineLib_Formula::eFT_DLINE, ZtLineLib_Formula::eFT_KLINE,
    ZtLineLib_Formula::eFT_MA,   ZtLineLib_Formula::eFT_VOL,   ZtLineLib_Formula::eFT_DLINEVOL,
    ZtLineLib_Formula::eFT_MACD, ZtLineLib_Formula::eFT_KDJ,   ZtLineLib_Formula::eFT_BIAS,
    ZtLineLib_Formula::eFT_CCI,  ZtLineLib_Formula::eFT_CR,    ZtLineLib_Formula::eFT_VR,
    ZtLineLib_Formula::eFT_WR,   ZtLineLib_Formula::eFT_RSI,   ZtLineLib_Formula::eFT_BOLL,
    ZtLineLib_Formula::eFT_DMA,  ZtLineLib_Formula::eFT_MTM,   ZtLineLib_Formula::eFT_AB,
    ZtLineLib_Formula::eFT_ZJLX, ZtLineLib_Formula::eFT_MMLD,  ZtLineLib_Formula::eFT_CMSD,
    ZtLineLib_Formula::eFT_RZRQ, ZtLineLib_Formula::eFT_YDCM,  ZtLineLib_Formula::eFT_CLOSE,
};

const unsigned kFields[] = {eFieldOpen, eFieldHigh, eFieldLow, eFieldClose, eFieldPreClose,
                            eFieldAverage, eFieldVolume, eFieldAmount, eFieldChange};

qint64 fuzzKey(FuzzedDataProvider& in, qint64 previous, bool minutes)
{
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 0: return 0;
    case 1: return -in.ConsumeIntegralInRange<qint64>(1, 1000);
    case 2: return in.ConsumeIntegral<qint64>();
    case 3: return previous; // a repeated key
    default:
        // The next minute or day in the usual layout.
        if (minutes)
            return 20240102093000LL + in.ConsumeIntegralInRange<qint64>(0, 3) * 1000000
                   + in.ConsumeIntegralInRange<int>(9, 15) * 10000
                   + in.ConsumeIntegralInRange<int>(0, 59) * 100;
        return previous > 0 ? previous + 1000000 : 20240102000000LL;
    }
}

DQDDataList fuzzList(FuzzedDataProvider& in, bool minutes)
{
    DQDDataList list;
    const int n = in.ConsumeIntegralInRange<int>(0, 60);
    qint64 key = 0;
    for (int i = 0; i < n; ++i) {
        key = fuzzKey(in, key, minutes);
        DQDUnionReader r;
        r.setUniqueValue(key);
        if (in.ConsumeIntegralInRange<int>(0, 7) != 0)
            r.setValue(eFieldDateTime, key);
        for (unsigned f : kFields) {
            if (in.ConsumeIntegralInRange<int>(0, 5) != 0) // now and then a missing field
                r.setValue(f, fuzz::hostileDouble(in));
        }
        list.append(r);
    }
    return list;
}

// Window, rectangle, paddings and flags every element shares.
void configure(FuzzedDataProvider& in, ZtLineLibBase& e, DQDDataList* list)
{
    e.setData(in.ConsumeIntegralInRange<int>(0, 15) == 0 ? nullptr : list);
    e.setRect(QRectF(in.ConsumeIntegralInRange<int>(-20, 150), in.ConsumeIntegralInRange<int>(-20, 90),
                     in.ConsumeIntegralInRange<int>(-10, 200), in.ConsumeIntegralInRange<int>(-10, 120)));
    e.setFixedPaddingTop(in.ConsumeBool() ? 0.0 : fuzz::hostileDouble(in));
    e.setFixedPaddingBottom(in.ConsumeBool() ? 0.0 : fuzz::hostileDouble(in));
    e.setFixedPaddingLeft(in.ConsumeBool() ? 0.0 : fuzz::hostileDouble(in));
    e.setFixedPaddingRight(in.ConsumeBool() ? 0.0 : fuzz::hostileDouble(in));
    e.setIsDLine(in.ConsumeBool());
    e.setShowJHJJ(in.ConsumeBool());
    e.setShowDRFS(in.ConsumeIntegralInRange<int>(-1, 6));
    e.setIsMainChat(in.ConsumeBool());
    e.setDrawMaxMinTag(in.ConsumeBool());
    e.setPrec(in.ConsumeIntegralInRange<int>(-3, 12));
    e.setDataScaling(in.PickValueInArray({0, 1, 100, 10000, -1, fuzz::hostileInt(in)}));
    e.setCoordinateSystem(in.ConsumeBool() ? eLogarithmic : eLinear);
    e.setQnowData(fuzz::hostileDouble(in));
    e.setRange(fuzz::hostileInt(in), fuzz::hostileInt(in), in.ConsumeBool());
    if (in.ConsumeBool())
        e.SetMaxMinValue(fuzz::hostileDouble(in), fuzz::hostileDouble(in));
}

void query(FuzzedDataProvider& in, ZtLineLibBase& e, QImage& img)
{
    for (int k = 0; k < 4; ++k) {
        const int x = in.ConsumeIntegralInRange<int>(-50, 250);
        const int y = in.ConsumeIntegralInRange<int>(-50, 150);
        const int i = fuzz::hostileInt(in);
        (void)e.getAxisXDataIndex(x, in.ConsumeBool());
        (void)e.checkAxisContainsPos(QPoint(x, y));
        (void)e.getDataString(i);
        (void)e.getAxisXDataString(x);
        (void)e.getDataByIndex(i);
        (void)e.getX(i);
    }
    (void)e.getAxisXFirstDataString();
    (void)e.getAxisXLastDataString();
    (void)e.getAxisXFirstDataIndex();
    (void)e.getAxisXLastDataIndex();
    QPainter p(&img);
    e.Fill(&p);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureGuiApplication();
    FuzzedDataProvider in(data, size);
    const bool minutes = in.ConsumeBool();
    DQDDataList list = fuzzList(in, minutes);
    QImage img(160, 100, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);

    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: {
        ZtLineLib_Formula pane(in.PickValueInArray(kTypes));
        if (in.ConsumeBool())
            pane.m_params = QList<float>{fuzz::hostileFloat(in), fuzz::hostileFloat(in)};
        if (in.ConsumeBool())
            pane.m_codeList = QStringList{QStringLiteral("sh600000")};
        pane.m_ydcmCount = fuzz::hostileInt(in);
        pane.m_ydcmRatio = fuzz::hostileDouble(in);
        pane.m_ydcmKey = in.ConsumeIntegral<qint64>();
        configure(in, pane, &list);
        for (int k = 0; k < 3; ++k)
            (void)pane.getCrossCurvePointByKlineDataIndex(fuzz::hostileInt(in),
                                                          in.ConsumeIntegralInRange<int>(-1, 4));
        (void)pane.getLinePenByIndex(fuzz::hostileInt(in));
        query(in, pane, img);
        break;
    }
    case 1: {
        ZtLineLib_Reference axis;
        axis.setDataScalingEnable(in.ConsumeBool());
        axis.setLeftPercentEnable(in.ConsumeBool());
        axis.setRightPercentTagEnable(in.ConsumeBool());
        axis.setMainValueOnRight(in.ConsumeBool());
        axis.setBinaryStyleEnable(in.ConsumeBool());
        axis.setStyleToDyna(in.ConsumeBool());
        axis.setMaxTagLineCount(fuzz::hostileInt(in));
        axis.setMinTagSpace(fuzz::hostileDouble(in));
        axis.setDataBoxHeight(fuzz::hostileInt(in));
        axis.setCrossPaddingTop(fuzz::hostileInt(in));
        configure(in, axis, &list);
        for (int k = 0; k < 3; ++k)
            (void)axis.getAxisYDataString(in.ConsumeIntegralInRange<int>(-50, 150));
        query(in, axis, img);
        break;
    }
    case 2: {
        ZtLineLib_Scaleplate axis;
        axis.setMinSpaceWidth(fuzz::hostileInt(in));
        axis.setDataBoxWidth(fuzz::hostileInt(in));
        axis.setFixedAlignment(in.ConsumeIntegralInRange<int>(-1, 300));
        if (in.ConsumeBool())
            axis.setDateFormat(QString::fromUtf8(in.ConsumeRandomLengthString(12).c_str()));
        configure(in, axis, &list);
        query(in, axis, img);
        break;
    }
    default: {
        ZtLineLib_InfoBar bar;
        const ZtLineLib_InfoBar::ShowLineInfoType types[] = {
            ZtLineLib_InfoBar::eLineInfoDividend, ZtLineLib_InfoBar::eLineInfoLevel,
            ZtLineLib_InfoBar::eLineInfoNotice};
        const unsigned timeFields[] = {eFieldDividendTime, eFieldLevelTime, eFieldNoticeTime};
        for (int t = 0; t < 3; ++t) {
            DQDDataList events;
            const int n = in.ConsumeIntegralInRange<int>(0, 6);
            for (int i = 0; i < n; ++i) {
                DQDUnionReader r;
                const qint64 key = fuzzKey(in, 0, minutes);
                r.setUniqueValue(key);
                if (in.ConsumeBool())
                    r.setValue(timeFields[t], key);
                if (in.ConsumeBool())
                    r.setValue(eFieldDividendText, QString::fromUtf8(in.ConsumeRandomLengthString(20).c_str()));
                if (in.ConsumeBool())
                    r.setValue(eFieldLevel, in.ConsumeIntegral<qint64>());
                if (in.ConsumeBool())
                    r.setValue(eFieldNoticeText1, QString::fromUtf8(in.ConsumeRandomLengthString(20).c_str()));
                events.append(r);
            }
            bar.addLineInfo(types[t], events);
        }
        bar.setCrossPaddingTop(fuzz::hostileInt(in));
        configure(in, bar, &list);
        query(in, bar, img);
        const QPoint at(in.ConsumeIntegralInRange<int>(-20, 200), in.ConsumeIntegralInRange<int>(-20, 120));
        (void)bar.FindLinfo(at);
        QPainter p(&img);
        bar.FillPrompt(&p, bar.FindLinfoList(at));
        break;
    }
    }
    return 0;
}
