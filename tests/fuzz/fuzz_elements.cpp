// Drives every chart element, and the crosshair over them, with a fuzzed
// quote list, window, rectangle, paddings and flags: setRange, the queries a
// host makes and Fill on a small image.

#include "FuzzSupport.h"

namespace {

using namespace ZtUIDataStruct;

using F = ZtLineLib_Formula;

const F::enumFormulaType kTypes[] = {
    F::eFT_NONE, F::eFT_DLINE, F::eFT_KLINE, F::eFT_MA, F::eFT_VOL, F::eFT_DLINEVOL, F::eFT_MACD, F::eFT_KDJ,
    F::eFT_BIAS, F::eFT_CCI, F::eFT_CR, F::eFT_VR, F::eFT_WR, F::eFT_RSI, F::eFT_BOLL, F::eFT_DMA, F::eFT_MTM,
    F::eFT_AB, F::eFT_ZJLX, F::eFT_MMLD, F::eFT_CMSD, F::eFT_RZRQ, F::eFT_YDCM, F::eFT_CLOSE};

// Window, rectangle, paddings and flags every element shares.
void configure(FuzzedDataProvider& in, ZtLineLibBase& e, DQDDataList* list)
{
    e.setData(in.ConsumeIntegralInRange<int>(0, 15) == 0 ? nullptr : list);
    e.setRect(QRectF(in.ConsumeIntegralInRange<int>(-20, 150), in.ConsumeIntegralInRange<int>(-20, 90),
                     in.ConsumeIntegralInRange<int>(-10, 200), in.ConsumeIntegralInRange<int>(-10, 120)));
    using B = ZtLineLibBase;
    for (auto pad : {&B::setFixedPaddingTop, &B::setFixedPaddingBottom, &B::setFixedPaddingLeft,
                     &B::setFixedPaddingRight})
        (e.*pad)(in.ConsumeBool() ? 0.0 : fuzz::hostileDouble(in));
    for (auto flag : {&B::setIsDLine, &B::setShowJHJJ, &B::setIsMainChat, &B::setDrawMaxMinTag})
        (e.*flag)(in.ConsumeBool());
    e.setShowDRFS(in.ConsumeIntegralInRange<int>(-1, 6));
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
    DQDDataList list = fuzz::quoteList(in, minutes);
    QImage img(160, 100, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);

    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: {
        F pane(in.PickValueInArray(kTypes));
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
        using R = ZtLineLib_Reference;
        for (auto flag : {&R::setDataScalingEnable, &R::setLeftPercentEnable, &R::setRightPercentTagEnable,
                          &R::setMainValueOnRight, &R::setBinaryStyleEnable, &R::setStyleToDyna})
            (axis.*flag)(in.ConsumeBool());
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
    case 3: {
        // The crosshair over a pane with both axes, all set up from the
        // same hostile list and window.
        F pane(in.PickValueInArray(kTypes));
        ZtLineLib_Reference values;
        ZtLineLib_Scaleplate times;
        configure(in, pane, &list);
        configure(in, values, &list);
        configure(in, times, &list);
        ZtLineCrossCurve cross;
        cross.appendRefrenc(&values);
        cross.appendScaleplate(&times);
        cross.setDrawHLine(in.ConsumeBool());
        cross.setCroMouseEnable(in.ConsumeBool());
        cross.setDrawLineEnable(in.ConsumeBool());
        cross.setCrossPaddingTop(fuzz::hostileInt(in));
        cross.setTooltipMarginForScaleplateBtns(fuzz::hostileInt(in));
        QPainter p(&img);
        for (int k = 0; k < 3; ++k) {
            const QPoint at(in.ConsumeIntegralInRange<int>(-50, 250), in.ConsumeIntegralInRange<int>(-50, 150));
            cross.Fill(&p, at, fuzz::hostileInt(in), in.ConsumeBool() ? &pane : nullptr);
        }
        if (in.ConsumeBool())
            cross.appendRefrenc(nullptr);
        cross.Fill(&p, QPoint(10, 10), 0, &pane);
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
                const qint64 key = fuzz::quoteKey(in, 0, minutes);
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
