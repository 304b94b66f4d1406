#pragma once

#include "FormulaResult.h"
#include "Formulas.h"
#include "ZtEngineCache.h"
#include "ZtLineLibBase.h"

#include <CDFormulaManage.h>
#include <CInputData.h>
#include <LineData.h>
#include <ModuleFormular.h>
#include <StripColor.h>
#include <ZtDataMangeTypes.h>

#include <QColor>
#include <QHash>
#include <QList>
#include <QPair>
#include <QPen>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <optional>
#include <vector>

class QFontMetrics;
class QPainter;

// The chart element that shows prices and indicators: the candlestick or
// intraday price pane, the volume pane and every indicator pane. It turns
// the data window into lines (built-in computations, the data service or the
// formula engine), widens its value range over them and paints them.
//
// Live updates (setRange with dataUnchanged, see ZtLineLibBase) continue the
// last computation instead of starting over:
// - price and volume panes (DLINE, KLINE, VOL, DLINEVOL, CLOSE) compute
//   their values again from the first changed record (averages reach back
//   over their period);
// - engine panes (MA, MACD … AB, user formulas) keep the engine's input bars,
//   convert only the changed tail into them and take the engine's series
//   from the changed record on; a definition whose text uses a function that
//   reads later bars (ZIG, REFX, BACKSET …) takes its series whole, since a
//   new bar may change its earlier values;
// - the data-service panes (fund flow, buying/selling power, chip lock,
//   margin) and the chip distribution ask the service again on any change of
//   the records: the service computes over the instrument's whole history
//   and answers for all of it. A window move alone re-derives their range.
// In every case the lines are bit for bit those of a computation from
// scratch; a moved window costs what the shown items cost.
class ZTLINELIB_EXPORT ZtLineLib_Formula : public ZtLineLibBase
{
public:
    enum enumFormulaType {
        eFT_NONE = -1,
        eFT_DLINE = 0,
        eFT_KLINE = 1,
        eFT_MA = 2,
        eFT_VOL = 3,
        eFT_DLINEVOL = 4,
        eFT_MACD = 5,
        eFT_KDJ = 6,
        eFT_BIAS = 7,
        eFT_CCI = 8,
        eFT_CR = 9,
        eFT_VR = 10,
        eFT_WR = 11,
        eFT_RSI = 12,
        eFT_BOLL = 13,
        eFT_DMA = 14,
        eFT_MTM = 15,
        eFT_AB = 16,
        eFT_ZJLX = 1000,
        eFT_MMLD = 1002,
        eFT_CMSD = 1004,
        eFT_RZRQ = 1006,
        eFT_YDCM = 2000,
        eFT_CLOSE = 90001,
        // Formulas of the store beyond the catalogue get types from here on
        // (userFormulaType); they compute through the engine like MACD.
        eFT_USER_FIRST = 100000,
    };

    // One stored indicator definition, as the formula store keeps it.
    class ZTLINELIB_EXPORT CFormulaClass
    {
    public:
        QString text1;
        QString text2;
        QString text3;
        QString text4;
        QString text5;
        QString text6;
        QStringList paramNames;
        int paramCount = 0;
        QList<float> paramList1;
        QList<float> paramList2;
        QList<float> paramValues; // the values a pane computes with
        QList<float> paramList4;
        QList<float> paramList5;
        int number1 = 0;
        int number2 = 0;
        int number3 = 0;
        int number4 = 0;
        int number5 = 0;
        int number6 = 0;
    };

    // The most parameters a stored definition holds.
    static constexpr int kMaxFormulaParams = 16;

    explicit ZtLineLib_Formula(enumFormulaType type = eFT_NONE);
    ZtLineLib_Formula(const ZtLineLib_Formula&) = default;
    ZtLineLib_Formula(ZtLineLib_Formula&&) = default;
    ZtLineLib_Formula& operator=(const ZtLineLib_Formula&) = default;
    ZtLineLib_Formula& operator=(ZtLineLib_Formula&&) = default;
    ~ZtLineLib_Formula();

    // ---- catalogue and parameters -----------------------------------------
    static QString helpFormulaTypeToQString(enumFormulaType type);
    enumFormulaType formulaType() const { return m_formulaType; }
    void setFormulaType(const enumFormulaType& type) { m_formulaType = type; }

    static CFormulaClass getCFormulaParamsAll(QString name);
    static CFormulaClass getCFormulaParams(enumFormulaType type);
    CFormulaClass getThisCFormulaParamsAll();
    QList<float> getThisCFormulaParams();
    // Stores a definition; false without touching the store when it names
    // more than 16 parameters or its lists hold fewer than paramCount entries.
    static bool setCFormulaParams(CFormulaClass c);

    bool canChangeFormula();
    bool canSetParm();
    int needSpecialValue();

    // ---- user formulas (ZtLineLib_Formula_user.cpp) ------------------------
    // The type of the stored formula name for this process, the same for
    // the same name (case as given), given out from eFT_USER_FIRST on; a
    // catalogue title gives its own type. eFT_NONE for an empty name.
    static enumFormulaType userFormulaType(const QString& name);
    static bool isUserFormulaType(enumFormulaType type);
    // The name behind a user formula type; empty for any other type.
    static QString userFormulaName(enumFormulaType type);

    // ---- formula engine ---------------------------------------------------
    static void showFormulaWindow();
    static bool setCFormulaParamsForCWin(QString name);
    bool setThisCFormulaParamsForCWin();
    // Why the pane's last computation by the engine failed, as the engine
    // words it ("line 2, column 16: expected ')'"); empty when it succeeded
    // or the pane's type is not the engine's. A host shows it instead of an
    // empty pane.
    QString lastFormulaError() const { return m_lastFormulaError; }

    // ---- queries ----------------------------------------------------------
    void setFixedPen(const QPen& pen);
    QPen getLinePenByIndex(int i);
    void rebuildForLength(int n);
    QPoint getCrossCurvePointByKlineDataIndex(int index, int lineIndex);
    QString getChildDataString(int index) override;

    // value rounded to prec decimals exactly as formatting it with
    // QString::number(value, 'f', prec) and reading the text back would
    // (halves away from zero), without the text on the common path.
    static double roundToPrec(double value, int prec);

    const Formulas& formulaLines() const { return m_formulaLines; }
    const QHash<QString, QVariant>& ydcmInfo() const { return m_ydcmInfo; }
    const QList<QPair<int, double>>& ydcmLayers() const { return m_ydcmLayers; }

    // The formula store and the evaluator, shared by every pane.
    static CDFormulaManage m_dformulaManage;
    static ModuleFormular m_moduleFormular;

protected:
    void calculateChildMaps() override;
    void resetMaxMinValue() override;
    void FillChild(QPainter* painter) override;

    // Line conversion from engine records; static so that they need no pane.
    static void createByTagDay(Formulas::formulaLine* line, LineData* data);
    static void createByStripColor(Formulas::formulaLine::QStripColor* target, StripColor source);
    static QColor getColorByInt(int c);

    // ---- host inputs: written by the host, only read by the pane ----------
public:
    QList<float> m_params;
    QStringList m_codeList; // one instrument code for the data-service types

private:
    QList<QPair<int, double>> m_ydcmLayers;
    QHash<QString, QVariant> m_ydcmInfo;

public:
    // Chip-distribution settings, handed unchanged to the computation.
    QString m_ydcmCode;
    qint64 m_ydcmKey = 0;
    int m_ydcmCount = 10;
    double m_ydcmRatio = 1.0;
    QVector<int> m_ydcmPeriods;
    ZtE_YDCMJS_OUT_TYPE m_ydcmOutType = eZtYdcmOutAll;
    ZtE_YDCMJS_CMFB_TYPE m_ydcmCmfbType = eZtYdcmTriangular;

protected:
    // ---- pipeline ---------------------------------------------------------
    // The computed span of the data: first index and length.
    void computedSpan(int* start, int* length) const;
    // MA, MACD … AB and user formulas: the types the formula engine computes.
    static bool isEngineType(enumFormulaType type);
    void computeByEngine(int start, int length);
    // Converts the span's bars and has the engine evaluate the formula name;
    // false when it could not.
    bool evaluate(std::string& name, int start, int length);
    void computeBuiltIn();
    void applyMaThemeColors();
    void createByFormulaResult(FormulaResult* result);
    // createByFormulaResult and padLines in one step, straight from the
    // engine's records: each series is laid into its final list once.
    void createByFlines(const tagFLINES& flines, int start, int length, int count);
    // Hands the value lists of the current lines on to the next lines.
    void recycleLines();
    // Aligns engine lines with the records: (count − length) markers at
    // position length, then start markers at the front of every non-empty
    // series.
    void padLines(int start, int length, int count);

    // ---- painters ---------------------------------------------------------
    void DrawMaxMinTag(QPainter* painter);
    void Fill_eLINE(QPainter* painter, const Formulas::formulaLine* line);
    void Fill_eSMOOTHLINE(QPainter* painter, const Formulas::formulaLine* line);
    void Fill_eVOLSTICK(QPainter* painter, const Formulas::formulaLine* line);
    void Fill_eVOLSTICK2(QPainter* painter, const Formulas::formulaLine* line);
    void Fill_eCOLORSTICK(QPainter* painter, const Formulas::formulaLine* line);
    void Fill_eKLINE(QPainter* painter, const Formulas::formulaLine* line);
    void Fill_eYDCM(QPainter* painter, const Formulas::formulaLine* line);
    void Draw_eLINE(QPainter* painter, const Formulas::formulaLine* line);
    void Draw_eVOLSTICK(QPainter* painter, const Formulas::formulaLine* line);
    void Draw_eVOLSTICK2(QPainter* painter, const Formulas::formulaLine* line);
    void Draw_eCOLORSTICK(QPainter* painter, const Formulas::formulaLine* line);
    void Draw_eDRAWTEXT(QPainter* painter, const Formulas::formulaLine* line);
    void Draw_eDRAWICON(QPainter* painter, const Formulas::formulaLine* line);

    // The title part of the value text: the indicator's title with its
    // parameters and " |", or " |" alone.
    QString legendTitle(const QList<float>& params) const;

    // What the painter families share.
    void paintPolyline(QPainter* painter, const Formulas::formulaLine* line, const QPen& pen);
    void paintVolumeSticks(QPainter* painter, const Formulas::formulaLine* line, bool barColours);
    void paintColourSticks(QPainter* painter, const Formulas::formulaLine* line, bool barColours);
    void drawTag(QPainter* painter, const QFontMetrics& fm, int x, double value);
    // No segment or point joins the last minute of a day to the next day on
    // a multi-day intraday main chart.
    bool isDayBoundary(int i) const;
    void recordMax(double value, int x);
    void recordMin(double value, int x);
    void recordMaxMin(double value, int x);

    // The result holder of computeByEngine; it hands the engine's records to
    // createByFlines.
    class EngineLines;

    // Colour-stick values rounded to the precision, made when the lines are
    // computed so that a repaint does not round them all again. They are
    // kept by record for the run [from, to) of records windows reached, and
    // cut back where the values change, so a scroll step rounds only the
    // records it gains. Valid while the line's values and the precision stay.
    struct RoundedSticks
    {
        const Formulas::formulaLine* line = nullptr;
        const float* source = nullptr;
        int prec = 0;
        qint64 from = 0;
        qint64 to = 0;
        std::vector<double> values; // by record
    };
    void roundSticks();
    const RoundedSticks* roundedSticksFor(const Formulas::formulaLine* line) const;
    QVector<RoundedSticks> m_roundedSticks;
    ZtEngineCache m_engineCache;

    // ---- continued computations (ZtLineLib_Formula_live.cpp) ---------------
    // Everything besides the records that the lines were computed from.
    struct LiveInputs
    {
        const ZtUIDataStruct::DQDDataList* data = nullptr;
        enumFormulaType type = eFT_NONE;
        int prec = 0;
        bool isDLine = false;
        bool showJHJJ = false;
        int showDRFS = 1;
        int spanStart = 0;
        QList<float> params;
        QStringList texts; // codes, chip code, or the engine's definition
        qint64 ydcmKey = 0;
        int ydcmCount = 0;
        double ydcmRatio = 0;
        QVector<int> ydcmPeriods;
        int ydcmOutType = 0;
        int ydcmCmfbType = 0;
        bool operator==(const LiveInputs& o) const;
    };
    LiveInputs liveInputs(int spanStart) const;
    // The engine definition's parameter values and texts (as LiveInputs
    // holds them). A live step reads them on every setRange: the store's
    // content is compared with the one they were last made from instead of
    // being converted again.
    void readEngineDefinition(LiveInputs* in) const;
    struct SeenDefinition
    {
        // The store name of type, kept: a scroll step reads the store, and a
        // type keeps its name for the whole process once it has one.
        enumFormulaType type = eFT_NONE;
        QString name;
        std::string key;
        bool valid = false;
        TagFormularContent content;
        QList<float> params;
        QStringList texts;
    };
    mutable SeenDefinition m_seenDefinition;
    // The first record to compute again when the last computation can be
    // continued; −1 when everything must be computed.
    int continueFrom(const LiveInputs& inputs, int start, int length) const;
    void computeAll(int start, int length);
    void continueLines(int from, int start, int length);
    void continueBuiltIn();
    void continueByEngine(int from, int start, int length);
    // resetMaxMinValue from the per-record extremes of the engine lines.
    void widenOverRows();
    // Splices the engine's series into the lines from record from on; the
    // lines' values before it stay as they are.
    void spliceFlines(const tagFLINES& flines, int start, int length, int count, int from);
    // The engine attributes each spliced line was last made of, and the
    // theme lists they were made under (lineThemeLists); empty after a
    // whole computation.
    std::vector<std::optional<LineData>> m_splicedAttributes;
    QVector<QStringList> m_splicedTheme;
    // The average colours' names and what they parse to: a live feed
    // applies them on every tick.
    QStringList m_maColorNames;
    QVector<QColor> m_maColors;
    static QVector<QStringList> lineThemeLists();
    bool m_liveValid = false;
    LiveInputs m_liveInputs;
    int m_liveCount = 0;
    int m_liveSpanLength = 0;
    // The engine's bars of the last evaluation, records start … start+length−1.
    CInputData m_engineInput;
    // Whether the definition of these texts reads later bars (a regular
    // expression over its texts, kept between evaluations).
    QStringList m_laterBarsTexts;
    bool m_readsLaterBars = false;
    // ---- formula drawings (ZtLineLib_Formula_paintDraw.cpp) ----------------
    // Paints a line of a drawing type (301 and up), or an engine line with a
    // line style or colours per bar; false when the line is not one of them.
    bool paintDrawing(QPainter* painter, const Formulas::formulaLine* line);
    // 0 for backgrounds (painted under every line), 2 for DRAWABOVE lines
    // (over every line), 1 for the others.
    static int drawingPass(const Formulas::formulaLine* line);
    QRectF drawingBand() const;
    class DrawingPainter;

    double m_maxTagValue = kZtNoValue;
    double m_minTagValue = kZtNoValueMax;
    int m_maxTagX = -1;
    int m_minTagX = -1;
    Formulas m_formulaLines;
    enumFormulaType m_formulaType = eFT_NONE;
    bool m_useFixedPen = false;
    QString m_lastFormulaError;
    QPen m_fixedPen;
};
