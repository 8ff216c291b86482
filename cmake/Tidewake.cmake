# Small helpers so that every library, test program and benchmark is declared the same way.

# tidewake_library(<name> SOURCES ... DEPENDS ...)
function(tidewake_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# tidewake_test(<name> SOURCES ... DEPENDS ... [GUI] [REALDATA filter] [YEAR filter])
# One GoogleTest program per library, sharing tests/common (test doubles, sample-file lookup) and
# its main. A GUI program brings its own main (it needs a QApplication) and runs offscreen.
# Its tests are labelled for `ctest -L`: `window` for a GUI program, `year` for the tests the
# YEAR filter names (the whole shared year or more: a generous TIMEOUT), `realdata` for those the
# REALDATA filter names (they read ../shared/data and skip without it), `unit` for the others.
# The filters are gtest filters ("Suite.*:Other.Test"); a test named by YEAR need not be in
# REALDATA. `TIDEWAKE_NO_SHARED_DATA=1 program` skips exactly the REALDATA and YEAR tests.
function(tidewake_test name)
  cmake_parse_arguments(ARG "GUI" "REALDATA;YEAR" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tidewake_testcommon ${ARG_DEPENDS} GTest::gtest GTest::gmock)
  if(NOT ARG_GUI)
    target_link_libraries(${name} PRIVATE tidewake_testmain)
  endif()
  target_compile_definitions(${name} PRIVATE
    TIDEWAKE_SHARED_DATA="${PROJECT_SOURCE_DIR}/../shared/data"
    TIDEWAKE_TEST_SOURCE="${CMAKE_CURRENT_SOURCE_DIR}"
    TIDEWAKE_TEST_OUTPUT="${CMAKE_CURRENT_BINARY_DIR}")
  set(kind unit)
  set(window "")
  set(environment "")
  if(ARG_GUI)
    set(kind window)
    set(window ";window")
    set(environment ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(CMAKE_CROSSCOMPILING)
    # A cross build runs its tests through CMAKE_CROSSCOMPILING_EMULATOR (Wine): one test per
    # program, so that each starts the emulator once rather than once per case.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 3600 LABELS ${kind} ${environment})
    return()
  endif()
  set(common ${name} DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST)
  set(others "")
  if(ARG_YEAR)
    gtest_discover_tests(${common} TEST_FILTER "${ARG_YEAR}"
      PROPERTIES LABELS "year;realdata${window}" TIMEOUT 900 ${environment})
    set(others "${ARG_YEAR}")
  endif()
  if(ARG_REALDATA)
    set(realdata "${ARG_REALDATA}")
    if(others)
      set(realdata "${ARG_REALDATA}-${others}")
    endif()
    gtest_discover_tests(${common} TEST_FILTER "${realdata}" PROPERTIES LABELS "realdata${window}" ${environment})
    if(others)
      set(others "${others}:${ARG_REALDATA}")
    else()
      set(others "${ARG_REALDATA}")
    endif()
  endif()
  set(rest "*")
  if(others)
    set(rest "*-${others}")
  endif()
  gtest_discover_tests(${common} TEST_FILTER "${rest}" PROPERTIES LABELS "${kind}" ${environment})
endfunction()

# tidewake_bench(<name> SOURCES ... DEPENDS ... [APP core|gui|widgets] [OWN_MAIN])
# A Google Benchmark program with the one shared main (bench/BenchMain.cpp), which makes the
# application object APP names (core by default). OWN_MAIN: the program prepares its data in a
# main of its own.
function(tidewake_bench name)
  cmake_parse_arguments(ARG "OWN_MAIN" "APP" "SOURCES;DEPENDS" ${ARGN})
  set(app 0)
  if(ARG_APP STREQUAL "gui")
    set(app 1)
  elseif(ARG_APP STREQUAL "widgets")
    set(app 2)
  endif()
  if(ARG_OWN_MAIN)
    add_executable(${name} ${ARG_SOURCES})
  else()
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/bench/BenchMain.cpp)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE tidewake_platform ${ARG_DEPENDS} benchmark::benchmark)
  if(app GREATER 0)
    target_link_libraries(${name} PRIVATE tidewake_qtplatform)
  endif()
  target_compile_definitions(${name} PRIVATE TIDEWAKE_SHARED_DATA="${PROJECT_SOURCE_DIR}/../shared/data"
                                             TIDEWAKE_BENCH_APP=${app})
endfunction()

# tidewake_fuzz_target(<name> DEPENDS ...)
# <name>.cpp in the calling folder defines LLVMFuzzerTestOneInput. With TIDEWAKE_FUZZ it becomes
# the libFuzzer program <name>; in every build with tests it is also linked with a plain main as
# <name>_replay, and the CTest test FuzzCorpus.<name> feeds that every file of fuzz/corpus/<name>/.
function(tidewake_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
  if(TIDEWAKE_FUZZ)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
  if(BUILD_TESTING)
    add_executable(${name}_replay ${source} ${PROJECT_SOURCE_DIR}/fuzz/FuzzReplay.cpp)
    target_link_libraries(${name}_replay PRIVATE ${ARG_DEPENDS})
    add_test(NAME FuzzCorpus.${name} COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    set_tests_properties(FuzzCorpus.${name} PROPERTIES LABELS unit)
  endif()
endfunction()
