# Shared CMake helpers: warning flags and the "one library per source folder"
# convention. Source folders are globbed so that a new file needs no edit here.

function(zv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ZV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# zv_glob_sources(<out-var> <dir>): the .cpp/.c/.h files of one folder (not recursive).
function(zv_glob_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS
       ${dir}/*.cpp ${dir}/*.c ${dir}/*.h ${dir}/*.hpp ${dir}/*.ui ${dir}/*.qrc)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# AUTOMOC runs again only when a header it already knows changes, so a new
# Q_OBJECT header picked up by a folder glob would never be moc'ed in an
# existing build directory. When a target's source list differs from the one
# seen at the last configure, its AUTOMOC timestamp is removed so that it runs.
# The folder helpers call it; a target that globs its own sources calls it too.
function(zv_autogen_follows_sources target)
  get_target_property(_src ${target} SOURCES)
  set(_list ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
  set(_old "")
  if(EXISTS ${_list})
    file(READ ${_list} _old)
  endif()
  if(NOT _old STREQUAL "${_src}")
    file(WRITE ${_list} "${_src}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
  endif()
endfunction()

# zv_folder_library(<name> <dir> LIBS <libs...>)
# A static library made of every source of <dir>; nothing is created while the
# folder holds no .cpp yet, so later folders can be wired before they exist.
function(zv_folder_library name dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _cpp CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  if(NOT _cpp)
    return()
  endif()
  zv_glob_sources(_src ${dir})
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  zv_warnings(${name})
  zv_autogen_follows_sources(${name})
endfunction()

# zv_test_dir(<name> <dir> LIBS <libs...> [GUI] [ENV <k=v>...])
# One GoogleTest program for every test source of <dir>; each test case is a
# CTest test. GUI suites run on the offscreen platform.
function(zv_test_dir name dir)
  cmake_parse_arguments(ARG "GUI" "" "LIBS;ENV" ${ARGN})
  file(GLOB _cpp CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT _cpp)
    return()
  endif()
  foreach(_lib ${ARG_LIBS})
    if(NOT TARGET ${_lib} AND NOT _lib MATCHES "::")
      message(STATUS "tests ${name}: skipped until ${_lib} exists")
      return()
    endif()
  endforeach()
  file(GLOB _hdr CONFIGURE_DEPENDS ${dir}/*.h)
  add_executable(${name} ${_cpp} ${_hdr})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} zv_test_support GTest::gmock GTest::gtest)
  target_compile_definitions(${name} PRIVATE ZV_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  zv_warnings(${name})
  zv_autogen_follows_sources(${name})
  set(_env "LC_ALL=C.UTF-8" ${ARG_ENV})
  if(ARG_GUI)
    list(APPEND _env "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${_env}" TIMEOUT 300)
endfunction()
