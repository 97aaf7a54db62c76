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

# One test executable per test folder; CTest learns the single tests when it
# runs them, so a test binary never runs at build time.
function(zelvitor_test name)
  cmake_parse_arguments(ZT "" "DIR" "DEPS" ${ARGN})
  if(NOT ZT_DIR)
    set(ZT_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB _src CONFIGURE_DEPENDS ${ZT_DIR}/*.cpp ${ZT_DIR}/*.h ${ZT_DIR}/*.qrc)
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${ZT_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ZELVITOR_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}"
    ZELVITOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(ZELVITOR_SANITIZE)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/sanitizer_options.cpp)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/support/sanitizer_options.cpp
      PROPERTIES COMPILE_DEFINITIONS ZELVITOR_LSAN_SUPPRESSIONS="${CMAKE_SOURCE_DIR}/tests/lsan.supp")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
endfunction()
