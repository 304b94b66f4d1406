#pragma once

// Everything a host needs: the chart elements and the platform libraries
// they stand on.

// Quote data and themes
#include <DataTrans.h>
#include <DQDDataList.h>
#include <DQDFieldId.h>
#include <DQDQuery.h>
#include <DQDReader.h>
#include <DQDSelection.h>
#include <DQDUnionReader.h>
#include <EventLoader.h>
#include <PubCacheCustom.h>
#include <Q_DD_Now.h>
#include <QuoteLoader.h>

// Formula engine
#include <CDFormulaManage.h>
#include <CInputData.h>
#include <FormulaDrawType.h>
#include <FormulaResultBase.h>
#include <LineData.h>
#include <ModuleFormular.h>
#include <Rect.h>
#include <StripColor.h>
#include <TagDay.h>
#include <TagFormularContent.h>
#include <TagStock.h>
#include <tagFLINES.h>

// Data service
#include <PBDataChange.h>
#include <ZtDataMangeTypes.h>

#include <ZtZB_Cmsdl.h>
#include <ZtZB_Rzrq.h>
#include <ZtZB_Ydcmjs.h>

// Chart elements
#include "ZtLineLibBase.h"
#include "ZtLineLibTheme.h"

// Indicator pane
#include "enumDrawType.h"
#include "FormulaResult.h"
#include "Formulas.h"
#include "ZtEngineCache.h"
#include "ZtLineLib_Formula.h"

// Overlays
#include "ZtLineCrossCurve.h"
#include "ZtLineLib_InfoBar.h"

// Axes
#include "ZtLineLib_ValueFormat.h"
#include "ZtLineLib_Reference.h"
#include "ZtLineLib_Scaleplate.h"
