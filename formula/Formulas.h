#pragma once

#include "ZtLineLibGlobal.h"
#include "enumDrawType.h"

#include <DQDDataList.h>
#include <StripColor.h>
#include <ZtDataMangeTypes.h>

#include <QHash>
#include <QList>
#include <QPair>
#include <QPen>
#include <QRect>
#include <QString>
#include <QVariant>
#include <QVector>

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace PROTO_Glintsvc { class MSG; }
namespace PROTO_F10Data { class F10MSG; }
namespace ClientData { class ClientDataMSG; }

// The lines of one indicator pane and the state of the computation that
// fills them. Lines are owned; copying the container copies the lines. Every
// float series holds one entry per data record from index 0, the no-value
// marker (kZtNoValue) where a record has no value.
class ZTLINELIB_EXPORT Formulas
{
public:
    // One indicator line: a value series with its draw type, pen, name and
    // the companion series some painters read.
    class ZTLINELIB_EXPORT formulaLine
    {
    public:
        struct QStripColor
        {
            bool enable = false;
            int color1 = 0;
            int color2 = 0;
            int color3 = 0;
        };

        formulaLine();
        formulaLine(QString name, int drawType, QPen pen, bool showValue);

        int drawType = eLINE;
        bool showValue = false;
        QPen pen;
        QList<float> values;
        QString name;
        QList<int> colors;   // 0x00BBGGRR per item, parallel to values
        QList<float> values2; // icon numbers of an icon line
        QList<float> values3;
        QList<float> values4;
        int param1 = 0;
        int param2 = 0;
        int lineWidth = 1;
        quint16 lineStyle = 0;
        QString text;
        QStripColor stripColor;
        QRect rect;
        int chipType = 0;   // 1: sticks, otherwise a profile
        double chipMax = kZtNoValue;
        QList<QPair<double, double>> chipRows; // (price, volume)
        bool useDrawRoutines = false; // engine lines paint with Draw_e*
    };

    Formulas();
    Formulas(const Formulas& other);
    Formulas(Formulas&& other) noexcept;
    Formulas& operator=(const Formulas& other);
    Formulas& operator=(Formulas&& other) noexcept;
    ~Formulas();

    // Traversal in list order.
    bool moveFirst();
    bool moveLast();
    bool moveNext();
    // Makes line i current; false (cursor unchanged) when there is none.
    bool moveTo(int i);
    formulaLine* currentLine() const;

    int lineCount() const { return m_lines.size(); }
    const formulaLine* lineAt(int i) const
    {
        return (i >= 0 && i < m_lines.size()) ? m_lines.at(i) : nullptr;
    }
    formulaLine* lineAt(int i)
    {
        return (i >= 0 && i < m_lines.size()) ? m_lines.at(i) : nullptr;
    }
    // Appends a copy as it is (no start pre-fill); engine lines arrive whole.
    void appendLine(const formulaLine& line);
    // Drops every line (the computation state stays).
    void clearLines();

    // ---- computation state ------------------------------------------------
    void setup(ZtUIDataStruct::DQDDataList* data, bool isDLine, int startIndex, int showIndex,
               int showLength, int prec);
    int addLine(formulaLine line);
    // Throws std::runtime_error("指标计算是发生Index错误。") when the cursor
    // lies before the first computed index.
    void addValue(int lineIndex, double value);
    QPen nextListPen();
    double getValue(unsigned int fieldId, int index = -9999999) const;
    double getMA(unsigned int fieldId, int n) const;
    double maxValue() const { return m_maxValue; }
    double minValue() const { return m_minValue; }

    // Extremes of every series of every line over [index, index + length),
    // finite values only; the two sentinels when there are none.
    double minOverWindow(int index, int length) const;
    double maxOverWindow(int index, int length) const;
    // Both of the above in one pass.
    void rangeOverWindow(int index, int length, double* lo, double* hi) const;
    // Keeps the extremes of each record's values as rangeOverWindow reads
    // them (m_rowLow, m_rowHigh), made again from record from on; then
    // rowRangeOverWindow gives what rangeOverWindow gives, reading two
    // numbers a record instead of every series. Valid while the values stay.
    void noteRowsFrom(int from);
    void rowRangeOverWindow(int index, int length, double* lo, double* hi) const;
    // The least record whose values may have changed since the last call
    // (0 after setup, the cut of a resume, the row of a new value); what was
    // derived from the records before it still holds.
    qint64 takeChangedFrom() { return std::exchange(m_changedFrom, std::numeric_limits<qint64>::max()); }

    // value cut toward zero after prec decimals, digit for digit as its
    // shortest plain decimal text would be cut.
    static double truncToPrec(double value, int prec);

    // ---- continuing a computation (Formulas_resume.cpp) ----------------------
    // Keeps the lines of the last computation for one that continues it: every
    // series is cut to at most keep entries (the values from keep on are
    // computed again), the shown window becomes showIndex/showLength and the
    // range is emptied. The computation state otherwise stays. The records
    // before changedFrom hold the values they held: their kept extremes stay
    // even past keep, for a window that walks them again.
    void resume(int showIndex, int showLength, int keep, int changedFrom);
    // The range the computation of a data-service answer or a price walk
    // would have widened over the shown window, from the extremes of each
    // record kept as the values were laid out: what a moved window needs
    // without the service or walking the shown records again.
    void widenOverWindow();
    // Continue the price and volume lines made by the routines of the same
    // name, from the end of their values to the end of the shown window.
    void continueDLINE(double param);
    void continueKLINE();
    void continueVOL(const QList<float>& periods);
    void continueDLINEVOL();
    void continueCLOSE(unsigned int fieldId);

    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }
    int startIndex() const { return m_startIndex; }
    int showIndex() const { return m_showIndex; }
    int showLength() const { return m_showLength; }
    bool isDLine() const { return m_isDLine; }
    int prec() const { return m_prec; }
    const QList<QPair<int, double>>& ydcmLayers() const { return m_ydcmLayers; }
    const QHash<QString, QVariant>& ydcmInfo() const { return m_ydcmInfo; }

    // ---- price and volume lines ------------------------------------------
    void eFT_DLINE(double param);
    void eFT_KLINE();
    void eFT_VOL(const QList<float>& periods);
    void eFT_DLINEVOL();
    void eFT_CLOSE(unsigned int fieldId);

    // ---- data-service indicators -------------------------------------------
    void eFT_ZJLX(const QString& code);
    void eFT_MMLD(const QString& code);
    void eFT_CMSD(const QString& code);
    void eFT_RZRQ(const QString& code);
    void eFT_YDCM(const QString& code, qint64 key, int count, const QVector<int>& periods,
                  ZtE_YDCMJS_OUT_TYPE outType, ZtE_YDCMJS_CMFB_TYPE cmfbType, double ratio);

    // The lines of an answer of the data service, as the routines above make
    // them once they have fetched it (a host may feed answers of its own).
    // Records belong to the last records of the data: record j of n to data
    // index count − n + j; records falling before the first computed index
    // are left out.
    void fillFundFlow(const PROTO_Glintsvc::MSG& msg);
    void fillPower(const PROTO_Glintsvc::MSG& msg);
    void fillChipLock(const ClientData::ClientDataMSG& msg);
    void fillMargin(const PROTO_F10Data::F10MSG& msg);
    void fillYdcm(const ClientData::ClientDataMSG& msg, ZtE_YDCMJS_OUT_TYPE outType,
                  ZtE_YDCMJS_CMFB_TYPE cmfbType);

private:
    // Adds `records` records aligned with the end of the data, one value per
    // line each; valuesOf(j, out) writes record j's values in line order.
    // (Defined and used in Formulas_service.cpp only.)
    template <typename ValuesOf>
    void addAlignedRecords(const QVector<int>& lines, int records, ValuesOf valuesOf);
    void copyLinesFrom(const Formulas& other);
    // One past the last index a price walk visits: the end of the shown
    // window, but never past the data.
    int walkEnd() const;
    // The record key at index i; 0 (an empty slot) when there is no record.
    qint64 keyAt(int i) const;
    void widenRange(double v);
    // Widens the extremes of record m_index (m_rowLow, m_rowHigh) by value.
    void noteRowValue(double value);
    // The first index a continued walk computes: the end of the values.
    int walkStart() const;
    // True when cutting v to the precision could not move the range.
    bool wellInsideRange(double v) const;
    // Set by resume, whose caller takes the range from the kept extremes of
    // the window (widenOverWindow): the values walked then need not widen it.
    bool m_rangeByRows = false;

    int m_cursor = -1;
    QList<formulaLine*> m_lines;
    ZtUIDataStruct::DQDDataList* m_data = nullptr;
    bool m_isDLine = false;
    int m_index = 0;
    int m_startIndex = 0;
    int m_showIndex = 0;
    int m_showLength = 0;
    qint16 m_prec = 0;
    double m_maxValue = kZtNoValue;
    double m_minValue = kZtNoValueMax;
    QList<QPair<int, double>> m_ydcmLayers;
    QHash<QString, QVariant> m_ydcmInfo;
    int m_colorIndex = 0;
    // Per record index, the least and greatest in-range value of a service
    // answer or a price walk (sentinels for none): the range of any window
    // without the values that were rounded into float.
    QVector<double> m_rowLow;
    QVector<double> m_rowHigh;
    // The extremes of whole blocks of kRowBlock records, kept for the blocks
    // [m_blocksFrom, m_blocksTo) as windows read them: a scroll step reads the
    // shown blocks instead of every shown record. Rows changed from record i
    // on end the kept blocks at i's block (rowsChangedFrom).
    static constexpr int kRowBlock = 32;
    mutable std::vector<double> m_blockLow;
    mutable std::vector<double> m_blockHigh;
    mutable qint64 m_blocksFrom = 0;
    mutable qint64 m_blocksTo = 0;
    // The range of the last window read, kept while its rows stay: a scroll
    // step usually drops a record that holds neither extreme, and then only
    // the records it gains are read.
    struct KeptWindow
    {
        qint64 first = 0;
        qint64 end = -1; // below first: nothing kept
        double lo = 0;
        double hi = 0;
    };
    mutable KeptWindow m_keptWindow;
    bool windowFromKept(qint64 first, qint64 end, double* lo, double* hi) const;
    // The least record index whose values may have changed since the pane
    // last took it: what the pane derived from earlier records still holds.
    qint64 m_changedFrom = 0;
    void rowsChangedFrom(qint64 i)
    {
        m_blocksTo = std::min(m_blocksTo, i / kRowBlock);
        if (i < m_keptWindow.end)
            m_keptWindow = {};
        m_changedFrom = std::min(m_changedFrom, i);
    }
    void keepBlocks(qint64 from, qint64 to) const;
    // A window's extremes mostly repeat from one scroll step to the next, so
    // the last cut of each is kept (by bits: -0 and 0 cut apart).
    class CutToPrec
    {
    public:
        double of(double value, int prec);

    private:
        bool m_made = false;
        quint64 m_bits = 0;
        int m_prec = 0;
        double m_cut = 0;
    };
    CutToPrec m_lowCut;
    CutToPrec m_highCut;
};
