# A file that appears in a folder of an existing build tree (a new window class,
# say) would not reach moc: the autogen step only watches the files it saw last
# time. When the globbed list changes, drop its stamp so it runs again.
function(zel_rescan_moc_on_new_files target sources)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
  if(DEFINED ZEL_SOURCES_${target} AND NOT "${ZEL_SOURCES_${target}}" STREQUAL "${sources}")
    file(REMOVE ${stamp})
  endif()
  set(ZEL_SOURCES_${target} "${sources}" CACHE INTERNAL "")
endfunction()

# zel_folder_library(<target> [DEPS <targets...>])
# Builds a static library from every source file of the current folder and its
# subfolders; headers are found from the folder itself ("dialogs/ValueDialog.h").
# A folder without sources yet becomes an interface target, so its dependants
# link already.
function(zel_folder_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  set(has_cpp FALSE)
  foreach(s IN LISTS sources)
    if(s MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(has_cpp)
    add_library(${target} STATIC ${sources})
    zel_rescan_moc_on_new_files(${target} "${sources}")
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# Tests run with a home of their own in the build tree, so that nothing they
# do reaches the user's settings, caches or file-dialog history (the widget
# tests' main narrows this further to a temporary folder per run).
set(ZEL_TEST_HOME ${CMAKE_BINARY_DIR}/tests/home)
file(MAKE_DIRECTORY ${ZEL_TEST_HOME})
set(ZEL_TEST_HOME_ENVIRONMENT
    "HOME=${ZEL_TEST_HOME};XDG_CONFIG_HOME=${ZEL_TEST_HOME}/config;XDG_DATA_HOME=${ZEL_TEST_HOME}/data;XDG_CACHE_HOME=${ZEL_TEST_HOME}/cache")

# zel_test_folder(<name> [DEPS <targets...>] [QT])
# One GoogleTest executable per test folder tests/<name>, from every source in
# it and its subfolders. QT gives the executable a main with a QApplication on
# the offscreen platform.
function(zel_test_folder name)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${name})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT sources)
    return()
  endif()
  set(exe test_${name})
  add_executable(${exe} ${sources})
  zel_rescan_moc_on_new_files(${exe} "${sources}")
  target_include_directories(${exe} PRIVATE ${dir})
  target_link_libraries(${exe} PRIVATE ${ARG_DEPS} zel_test_support GTest::gtest)
  if(ARG_QT)
    target_link_libraries(${exe} PRIVATE zel_test_qtmain Qt6::Test)
  else()
    target_link_libraries(${exe} PRIVATE GTest::gtest_main)
  endif()
  gtest_discover_tests(${exe}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ZEL_TEST_HOME_ENVIRONMENT}"
    TEST_PREFIX "${name}.")
endfunction()
