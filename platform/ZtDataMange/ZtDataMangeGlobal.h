#pragma once

#include <QtGlobal>

#if defined(ZTDATAMANGE_BUILD)
#  define ZTDATAMANGE_EXPORT Q_DECL_EXPORT
#else
#  define ZTDATAMANGE_EXPORT Q_DECL_IMPORT
#endif
