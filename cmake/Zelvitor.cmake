# One library target per folder: every .cpp of the folder (not of its
# sub-folders) belongs to it, so adding a file needs no CMake edit.
function(zelvitor_library name)
  cmake_parse_arguments(ZL "" "DIR" "DEPS;EXCLUDE" ${ARGN})
  if(NOT ZL_DIR)
    set(ZL_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB _src CONFIGURE_DEPENDS ${ZL_DIR}/*.cpp ${ZL_DIR}/*.h ${ZL_DIR}/*.qrc ${ZL_DIR}/*.ui)
  foreach(_ex IN LISTS ZL_EXCLUDE)
    list(REMOVE_ITEM _src ${ZL_DIR}/${_ex})
  endforeach()
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ZL_DEPS})
  else()
    # Nothing compiled here yet: headers only.
    add_library(${name} INTERFACE ${_src})
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ZL_DEPS})
  endif()
endfunction()

# One test program per *_test.cpp of a test folder (named folder_file), so
# a test file that does not build stops only its own program. The other
# .cpp files of the folder form a support library linked into each.
# CTest learns the single tests when it runs them, never at build time.
function(zelvitor_test_folder folder)
  set(_dir ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
  file(GLOB _tests CONFIGURE_DEPENDS ${_dir}/*_test.cpp)
  file(GLOB _support CONFIGURE_DEPENDS ${_dir}/*.cpp)
  list(FILTER _support EXCLUDE REGEX "_test\\.cpp$")
  set(_deps ${ARGN})
  if(_support)
    add_library(${folder}_testsupport STATIC ${_support})
    target_include_directories(${folder}_testsupport PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${folder}_testsupport PUBLIC ${_deps} GTest::gtest)
    target_compile_definitions(${folder}_testsupport PUBLIC
      ZELVITOR_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}"
      ZELVITOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    list(APPEND _deps ${folder}_testsupport)
  endif()
  foreach(_t IN LISTS _tests)
    get_filename_component(_name ${_t} NAME_WE)
    set(_exe ${folder}_${_name})
    string(REGEX REPLACE "_test$" "" _exe ${_exe})
    add_executable(${_exe} ${_t})
    target_link_libraries(${_exe} PRIVATE ${_deps} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${_exe} PRIVATE
      ZELVITOR_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}"
      ZELVITOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    if(ZELVITOR_SANITIZE)
      target_sources(${_exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/sanitizer_options.cpp)
    endif()
    # A test that skips itself (GTEST_SKIP) is counted as skipped, not as
    # passed, so an oracle test that could not run is seen in the summary.
    gtest_discover_tests(${_exe} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      TEST_PREFIX "${folder}." PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300
      SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  endforeach()
endfunction()
