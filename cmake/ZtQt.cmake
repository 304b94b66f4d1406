# Which Qt the tree builds against, chosen once at configure time:
#   cmake -DZT_QT_MAJOR=6 ...   (5 is the default; when ZT_QT_MAJOR is not
#                                given and only one of the two is installed,
#                                that one is taken)
# Every CMakeLists of the tree, including new ones under apps/, names Qt
# only through what this file defines:
#   ZT_QT          "Qt5" or "Qt6": link ${ZT_QT}::Core, ${ZT_QT}::Widgets, ...
#   ZT_QT_MAJOR    5 or 6 (cached)
#   ZT_QT_MIN      the oldest release of that major version the tree supports
#   zt_find_qt(<module>...)   finds further modules of the same Qt, REQUIRED
# The installed package records the choice (ZtLineLibConfig.cmake), so a
# consumer gets the same Qt.
#
# The sources compile under both without a compatibility header. What a new
# source must mind: container sizes are qsizetype (64-bit) in Qt 6, so mixing
# them with int in std::min/std::max needs std::min<int>; QTextStream is
# UTF-8 by default in Qt 6 and has no setCodec; Qt 6 has no QRegExp or
# QTextCodec without its compatibility module. Where a call must differ,
# `#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)` at that call.

set(ZT_QT_MIN_5 5.15)
set(ZT_QT_MIN_6 6.2)

if(NOT ZT_QT_MAJOR)
  find_package(Qt5 ${ZT_QT_MIN_5} QUIET COMPONENTS Core Gui)
  if(Qt5_FOUND)
    set(_zt_qt_auto 5)
  else()
    find_package(Qt6 ${ZT_QT_MIN_6} QUIET COMPONENTS Core Gui)
    if(Qt6_FOUND)
      set(_zt_qt_auto 6)
    else()
      set(_zt_qt_auto 5)
    endif()
  endif()
  set(ZT_QT_MAJOR ${_zt_qt_auto} CACHE STRING "Qt major version to build against (5 or 6)" FORCE)
  unset(_zt_qt_auto)
endif()
if(DEFINED CACHE{ZT_QT_MAJOR})
  set_property(CACHE ZT_QT_MAJOR PROPERTY STRINGS 5 6)
endif()
if(NOT ZT_QT_MAJOR MATCHES "^[56]$")
  message(FATAL_ERROR "ZT_QT_MAJOR is '${ZT_QT_MAJOR}'; it must be 5 or 6")
endif()

set(ZT_QT Qt${ZT_QT_MAJOR})
set(ZT_QT_MIN ${ZT_QT_MIN_${ZT_QT_MAJOR}})
find_package(${ZT_QT} ${ZT_QT_MIN} REQUIRED COMPONENTS Core Gui)
message(STATUS "ZtLineLib: building against ${ZT_QT} ${${ZT_QT}_VERSION} (ZT_QT_MAJOR=${ZT_QT_MAJOR})")

macro(zt_find_qt)
  find_package(${ZT_QT} ${ZT_QT_MIN} REQUIRED COMPONENTS ${ARGN})
endmacro()
