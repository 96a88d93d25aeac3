# Each folder of src/core is one static library, ambrolux_<folder>, built from
# every .cpp in it; adding a source file needs no edit here. Keeping the
# modules apart means a half-written file in one subsystem does not stop the
# others from building and testing.
function(amx_core_module name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    # A module that is still only headers.
    add_library(ambrolux_${name} INTERFACE)
    target_include_directories(ambrolux_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src/core)
    target_link_libraries(ambrolux_${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(ambrolux_${name} STATIC ${sources})
  target_include_directories(ambrolux_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/core)
  target_link_libraries(ambrolux_${name} PUBLIC ${ARG_DEPS})
  set_target_properties(ambrolux_${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
endfunction()

# A test program per folder of tests/<layer>/<name>, from every .cpp in it,
# registered test by test with CTest.
function(amx_gtest target dir)
  cmake_parse_arguments(ARG "" "TIMEOUT" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
      AMX_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
      AMX_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
  if(ARG_TIMEOUT)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()
