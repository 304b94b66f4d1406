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
#include <PubCacheCustom.h>
#include <Q_DD_Now.h>

// Formula engine
#include <CDFormulaManage.h>
#include <CInputData.h>
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

// Chart elements
#include "ZtLineLibBase.h"
#include "ZtLineLibTheme.h"

// Axes
#include "ZtLineLib_ValueFormat.h"
#include "ZtLineLib_Reference.h"
#include "ZtLineLib_Scaleplate.h"
