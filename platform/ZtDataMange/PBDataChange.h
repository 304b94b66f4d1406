#pragma once

#include "ZtDataMangeGlobal.h"
#include "ZtDataMangeTypes.h"

#include <DQDDataList.h>
#include <DQDSelection.h>
#include <DQDUnionReader.h>
#include <Q_DD_Now.h>
#include <TagDay.h>

#include <QMap>
#include <QString>

#include <vector>

// The instrument registry of the data service, and conversions between the
// quote lists and the records of the data services and the formula engine.
//
// A host registers each instrument it wants served (bars, minutes, free-float
// shares) and may attach feeds read from CSV files; every answer of the
// service is computed from what is registered. Unknown codes give empty
// answers. All calls come from the GUI thread; nothing is locked.
class ZTDATAMANGE_EXPORT PBDataChange
{
public:
    // ---- registry ---------------------------------------------------------
    // Registers (or replaces the bars, minutes and float shares of) an
    // instrument; feeds attached earlier stay. floatSharesByDate keys are
    // yyyymmdd or yyyyMMddHHmmss; a bar takes the last entry dated on or
    // before it. Entries that are not positive finite numbers are dropped.
    // Each stored bar and minute gets the field eZtFieldFloatShares when an
    // entry applies to it. An empty code registers nothing.
    static void registerInstrument(const QString& code, const QString& name,
                                   const ZtUIDataStruct::DQDDataList& daily,
                                   const ZtUIDataStruct::DQDDataList& minutes,
                                   const QMap<qint64, double>& floatSharesByDate);
    static void clearInstruments();
    static bool hasInstrument(const QString& code);
    // Free-float shares in force at a time value (yyyyMMddHHmmss or
    // yyyymmdd): the last entry dated on or before it; 0 when none applies.
    static double floatSharesAt(const QString& code, qint64 time);

    // Feeds read from CSV files (layouts in data/README.md). Each needs a
    // registered instrument and replaces that instrument's feed of the same
    // kind. On malformed input the call loads nothing, returns false and
    // puts "file:line:column: reason" into *error.
    static bool attachFundFlowFeed(const QString& code, const QString& csvPath,
                                   QString* error = nullptr);
    static bool attachPowerFeed(const QString& code, const QString& csvPath,
                                QString* error = nullptr);
    static bool attachChipLockFeed(const QString& code, const QString& csvPath,
                                   QString* error = nullptr);
    static bool attachMarginFeed(const QString& code, const QString& csvPath,
                                 QString* error = nullptr);

    // ---- quotes -----------------------------------------------------------
    // Snapshot of an instrument: code and name set, the reader part carries
    // eZtFieldCode (which identifies the instrument to the other calls) and
    // eZtFieldName, the key and quote fields of the last daily bar. An
    // unknown code gives a snapshot with only the code set. The flag asks
    // for a fresh quote from a remote source; the registry has none.
    static ZtUIDataStruct::Q_DD_Now LBDG_QNowSingle(const QString& code, bool refresh);
    // Daily bars of the instrument the reader names, up to and including
    // endTime (0: all). Periods other than eZtPeriodDay give an empty list;
    // the dividend mode is not applied (see ZtE_DIVID); the flag is unused.
    static ZtUIDataStruct::DQDDataList LBGD_Kline(const ZtUIDataStruct::DQDUnionReader& reader,
                                                  ZtE_Period period, ZtE_DIVID divid,
                                                  bool refresh, qint64 endTime);
    // Intraday minutes of the instrument the reader names, as registered, up
    // to and including endTime (0: all). The flags are unused.
    static ZtUIDataStruct::DQDDataList LBGD_Dline(const ZtUIDataStruct::DQDUnionReader& reader,
                                                  bool withAuction, bool refresh,
                                                  qint64 endTime);

    // The code carried by a reader (eZtFieldCode), empty when it has none.
    static QString instrumentCode(const ZtUIDataStruct::DQDReader& reader);

    // ---- formula engine ---------------------------------------------------
    // Records start … start + count − 1 of the list as formula-engine bars:
    // one TagDay per record making one run: the columns and a serial of its
    // own in the first (see TagDay.h). Indices
    // outside the list are clipped; a null list gives an empty vector.
    // m_floatShares comes from the records' eZtFieldFloatShares (0 without).
    static std::vector<TagDay> LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list, int start,
                                                 int count);
    // The same into a vector the caller keeps: its storage is reused, which
    // spares a large computation the page faults of fresh memory (a spliced
    // vector's later runs are dropped).
    static void LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list, int start, int count,
                                  std::vector<TagDay>& days);
    // The same with only the price columns named in columns (TagDayColumn
    // bits) filled; the others are left empty. m_date, m_time, m_dateCol and
    // m_valid are always filled.
    static void LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list, int start, int count,
                                  std::vector<TagDay>& days, unsigned columns);
};
