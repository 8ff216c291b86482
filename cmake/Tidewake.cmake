# Small helpers so that every library, test program and benchmark is declared the same way.

# tidewake_library(<name> SOURCES ... DEPENDS ...)
function(tidewake_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# tidewake_test(<name> SOURCES ... DEPENDS ... [GUI])
# One GoogleTest program per library, sharing tests/common (test doubles, sample-file lookup) and
# its main. A GUI program brings its own main (it needs a QApplication) and runs offscreen.
function(tidewake_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tidewake_testcommon ${ARG_DEPENDS} GTest::gtest GTest::gmock)
  if(NOT ARG_GUI)
    target_link_libraries(${name} PRIVATE tidewake_testmain)
  endif()
  target_compile_definitions(${name} PRIVATE
    TIDEWAKE_SHARED_DATA="${PROJECT_SOURCE_DIR}/../shared/data"
    TIDEWAKE_TEST_SOURCE="${CMAKE_CURRENT_SOURCE_DIR}"
    TIDEWAKE_TEST_OUTPUT="${CMAKE_CURRENT_BINARY_DIR}")
  if(CMAKE_CROSSCOMPILING)
    # A cross build runs its tests through CMAKE_CROSSCOMPILING_EMULATOR (Wine): one test per
    # program, so that each starts the emulator once rather than once per case.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 3600)
    if(ARG_GUI)
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  elseif(ARG_GUI)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()

# tidewake_bench(<name> SOURCES ... DEPENDS ...)
function(tidewake_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE TIDEWAKE_SHARED_DATA="${PROJECT_SOURCE_DIR}/../shared/data")
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
  endif()
endfunction()
