#pragma once

#include <QtGlobal>

#if defined(ZTLIB_BUILD)
#  define ZTLIB_EXPORT Q_DECL_EXPORT
#else
#  define ZTLIB_EXPORT Q_DECL_IMPORT
#endif
