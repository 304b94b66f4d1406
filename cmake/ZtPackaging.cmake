# Debian packages: `cpack -G DEB` in a build folder makes three, one per
# install component:
#   Runtime      the shared libraries
#   Development  headers, CMake package, pkg-config file, link names
#   Programs     ztchart, ztviewer and the formula icons beside them
# A Qt 6 build gets its own package names; the two builds install the same
# files, so each conflicts with the other.

set(CPACK_PACKAGE_NAME ztlinelib)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chart-drawing library of a desktop stock-quote client (Qt ${ZT_QT_MAJOR})")
set(CPACK_PACKAGE_CONTACT "ZtLineLib developers <ztlinelib@localhost>")
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL Runtime Development Programs)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs link the package's own libraries, which no installed package
# provides yet when dpkg-shlibdeps looks.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

if(ZT_QT_MAJOR EQUAL 5)
  set(_zt_deb_suffix "")
  set(_zt_deb_other "-qt6")
  set(_zt_deb_qt_dev qtbase5-dev)
else()
  set(_zt_deb_suffix "-qt6")
  set(_zt_deb_other "")
  set(_zt_deb_qt_dev qt6-base-dev)
endif()
# Debian's rule: the soname's number follows the name, after a hyphen only
# when the name ends in a digit.
if(ZT_QT_MAJOR EQUAL 5)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libztlinelib${PROJECT_VERSION_MAJOR})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONFLICTS libztlinelib-qt6-${PROJECT_VERSION_MAJOR})
else()
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libztlinelib-qt6-${PROJECT_VERSION_MAJOR})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONFLICTS libztlinelib${PROJECT_VERSION_MAJOR})
endif()
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libztlinelib${_zt_deb_suffix}-dev)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME ztlinelib${_zt_deb_suffix}-tools)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_CONFLICTS libztlinelib${_zt_deb_other}-dev)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_CONFLICTS ztlinelib${_zt_deb_other}-tools)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION misc)
# What building against the headers needs besides the runtime libraries.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${_zt_deb_qt_dev}, libprotobuf-dev")
unset(_zt_deb_suffix)
unset(_zt_deb_other)
unset(_zt_deb_qt_dev)

set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "shared libraries")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "headers, CMake package and pkg-config file")
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION "ztchart (command line) and ztviewer (window)")
set(CPACK_COMPONENT_PROGRAMS_DEPENDS Runtime)

include(CPack)
