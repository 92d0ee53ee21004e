# tintweave_add_test_suite(<name> LIBS <libs...> [GL] [SERIAL])
# Builds one GoogleTest executable from every *.cpp in the calling folder. A folder with its own
# main.cpp (for example one that creates a QApplication) links plain gtest, the others gtest_main.
# GL suites are labelled "gl", run from the source tree so that shaders/ and icons/ resolve, and
# are discovered when ctest runs (under Xvfb), not at build time.
function(tintweave_add_test_suite name)
  cmake_parse_arguments(ARG "GL;SERIAL" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
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
  if(ARG_GL)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      PROPERTIES LABELS gl TIMEOUT 300 RUN_SERIAL ${serial})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)
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
