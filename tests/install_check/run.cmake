# Installs the built tree the way a user would and builds projects outside
# the tree against it.
#   MODE=install  cmake --install into a scratch prefix; builds the consumer
#                 in this folder with find_package and with pkg-config, the
#                 README's host example, and checks that a project using the
#                 other Qt major version is refused.
#   MODE=deb      cpack -G DEB, unpacks the packages into a scratch root
#                 (dpkg -x, as installing would lay them out) and builds the
#                 README's host example against them.
# Arguments: BUILD_DIR, SOURCE_DIR, CONSUMER_DIR, WORK_DIR, QT_MAJOR, MODE, CXX.

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  set(run_out "${out}" PARENT_SCOPE)
endfunction()

# Writes the cmake and the cpp block of the README's section on host
# programs into a project folder.
function(write_readme_example dir)
  file(STRINGS ${SOURCE_DIR}/README.md lines ENCODING UTF-8)
  set(section OFF)
  set(block "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^## ")
      set(section OFF)
      if(line STREQUAL "## Using the library from another project")
        set(section ON)
      endif()
    elseif(section AND block STREQUAL "" AND line MATCHES "^```(cmake|cpp)$")
      set(block ${CMAKE_MATCH_1})
      set(text_${block} "")
    elseif(section AND NOT block STREQUAL "" AND line STREQUAL "```")
      set(block "")
    elseif(NOT block STREQUAL "")
      string(APPEND text_${block} "${line}\n")
    endif()
  endforeach()
  if(NOT text_cmake OR NOT text_cpp)
    message(FATAL_ERROR "README.md: no cmake and cpp example under 'Using the library from another project'")
  endif()
  file(WRITE ${dir}/CMakeLists.txt "${text_cmake}")
  file(WRITE ${dir}/main.cpp "${text_cpp}")
endfunction()

function(build_readme_example prefix)
  set(dir ${WORK_DIR}/readme_example)
  write_readme_example(${dir})
  run("configuring the README example" ${CMAKE_COMMAND} -S ${dir} -B ${dir}/build
      -DCMAKE_PREFIX_PATH=${prefix})
  run("building the README example" ${CMAKE_COMMAND} --build ${dir}/build)
  run("running the README example" ${dir}/build/host ${SOURCE_DIR}/data/sh600000_day.csv ${dir}/out.png)
  file(SIZE ${dir}/out.png size)
  if(size LESS 2000)
    message(FATAL_ERROR "the README example painted an empty picture (${size} bytes)")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
math(EXPR other_qt "11 - ${QT_MAJOR}")

if(MODE STREQUAL "deb")
  run("cpack" ${CMAKE_CPACK_COMMAND} -G DEB -B ${WORK_DIR}/packages --config ${BUILD_DIR}/CPackConfig.cmake)
  file(GLOB debs ${WORK_DIR}/packages/*.deb)
  list(LENGTH debs n)
  if(NOT n EQUAL 3)
    message(FATAL_ERROR "cpack made ${n} packages, not runtime, development and programs: ${debs}")
  endif()
  set(root ${WORK_DIR}/root)
  foreach(deb ${debs})
    run("dpkg -x ${deb}" dpkg-deb -x ${deb} ${root})
  endforeach()
  file(GLOB_RECURSE internal ${root}/*/ZtSpareLists.h ${root}/*/ZtPainterClipGuard.h)
  if(internal)
    message(FATAL_ERROR "internal headers were packaged: ${internal}")
  endif()
  if(NOT EXISTS ${root}/usr/bin/ztchart)
    message(FATAL_ERROR "the programs package holds no ztchart")
  endif()
  build_readme_example(${root}/usr)
  return()
endif()

set(prefix ${WORK_DIR}/prefix)
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
file(GLOB_RECURSE internal ${prefix}/*/ZtSpareLists.h ${prefix}/*/ZtPainterClipGuard.h)
if(internal)
  message(FATAL_ERROR "internal headers were installed: ${internal}")
endif()

run("configuring the consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix})
run("building the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run("running the consumer" ${WORK_DIR}/build/consumer)
if(NOT run_out MATCHES "consumer ok")
  message(FATAL_ERROR "the consumer printed: ${run_out}")
endif()

build_readme_example(${prefix})

# pkg-config: the consumer built by hand from the flags the .pc file gives.
file(GLOB_RECURSE pc ${prefix}/*/ZtLineLib.pc)
get_filename_component(pc_dir "${pc}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
run("pkg-config" pkg-config --cflags --libs ZtLineLib)
string(STRIP "${run_out}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
if(NOT flags MATCHES "Qt${QT_MAJOR}Gui")
  message(FATAL_ERROR "pkg-config gave no Qt ${QT_MAJOR} flags: ${flags}")
endif()
run("compiling the consumer with pkg-config" ${CXX} -std=c++17 -fPIC ${CONSUMER_DIR}/consumer.cpp
    -o ${WORK_DIR}/consumer_pc ${flags} -Wl,-rpath,${pc_dir}/..)
run("running the pkg-config consumer" ${WORK_DIR}/consumer_pc)

# A project on the other Qt is told why it cannot have this package.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build_other
    -DCMAKE_PREFIX_PATH=${prefix} -DCONSUMER_QT_MAJOR=${other_qt}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(out MATCHES "no Qt ${other_qt} here")
  message(STATUS "Qt ${other_qt} is not installed; the refusal is not checked")
elseif(NOT rc OR NOT err MATCHES "built against Qt ${QT_MAJOR}, but the project uses Qt ${other_qt}")
  message(FATAL_ERROR "a Qt ${other_qt} project was not refused clearly (${rc}):\n${out}\n${err}")
endif()
