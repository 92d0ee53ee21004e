# tintweave_add_test_suite(<name> LIBS <libs...> [GL] [SERIAL] [POINTER <gtest filter>])
# Builds one GoogleTest executable from every *.cpp in the calling folder. A folder with its own
# main.cpp (for example one that creates a QApplication) links plain gtest, the others gtest_main.
# GL suites are labelled "gl", run from the source tree so that shaders/ and icons/ resolve, and
# are discovered when ctest runs (under Xvfb), not at build time.
# POINTER names the tests of a GL suite that move the X server's one pointer and need it over
# their own windows (hover, tooltips): they run with no other test beside them.
function(tintweave_add_test_suite name)
  cmake_parse_arguments(ARG "GL;SERIAL" "POINTER" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  # Every test process keeps its settings, data and caches in a temporary folder of its own, and
  # the programs it starts get their own homes (tests/support).
  add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/test_user_folders.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  # Support shared by the suites: curve fixtures, the tool runner, the PNG writer, shader files.
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
    target_link_libraries(${name} PRIVATE GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    TINTWEAVE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TINTWEAVE_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  # SERIAL: the suite's tests move the shared X server's pointer and need their windows on top
  # (hover, tooltips), so no other test may run beside them.
  set(serial FALSE)
  if(ARG_SERIAL)
    set(serial TRUE)
  endif()
  if(ARG_GL AND ARG_POINTER)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      TEST_FILTER "-${ARG_POINTER}"
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      PROPERTIES LABELS gl TIMEOUT 300 RUN_SERIAL ${serial})
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      TEST_FILTER "${ARG_POINTER}"
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      PROPERTIES LABELS gl TIMEOUT 300 RUN_SERIAL TRUE)
  elseif(ARG_GL)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      PROPERTIES LABELS gl TIMEOUT 300 RUN_SERIAL ${serial})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 120)
  endif()
endfunction()

# tintweave_add_benchmarks(LIBS <libs...>)
# Builds one Google Benchmark executable per *.cpp in the calling folder, named after the file.
function(tintweave_add_benchmarks)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(source ${sources})
    get_filename_component(stem ${source} NAME_WE)
    add_executable(${stem} ${source})
    target_link_libraries(${stem} PRIVATE ${ARG_LIBS} benchmark::benchmark)
    target_include_directories(${stem} PRIVATE ${PROJECT_SOURCE_DIR}/bench/support)
    target_compile_definitions(${stem} PRIVATE TINTWEAVE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  endforeach()
endfunction()
