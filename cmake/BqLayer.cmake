# One library per layer: every .cpp file of the layer's folder is part of it.
include(${CMAKE_CURRENT_LIST_DIR}/BqPlatformSources.cmake)

function(bq_layer name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  bq_platform_sources(sources ${CMAKE_CURRENT_SOURCE_DIR})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# One GoogleTest program per test folder. A folder with its own main.cpp
# (the window's tests need a QApplication) links gtest without gtest_main.
#
# Labels, for `ctest -L`: every test is `unit` - it runs inside its program
# and starts no server or other process (loopback peers on its own threads
# are fine) - unless KINDS says otherwise. KINDS lists pairs of a GoogleTest
# filter and the comma-separated labels its tests get instead of `unit`:
# `system` (starts servers or programs), `slow` (repeats or streams at length);
# a test takes the first pair that matches. LABELS go to every test of the
# program (`gui`, `faults`).
function(bq_test_dir name)
  cmake_parse_arguments(ARG "" "" "LIBS;ENV;LABELS;KINDS" ${ARGN})
  bq_platform_sources(sources ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE BQ_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(WIN32)
    bq_windows_test(${name})
    return()
  endif()

  # Each pair is discovered with its own filter, less the pairs before it.
  # gtest_discover_tests flattens its properties into one list, so a list of
  # labels cannot pass through it: a script of our own, run by ctest after the
  # discovery scripts, labels each group's tests by the list it was given.
  set(label_script "${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake")
  file(WRITE "${label_script}" "# Labels of ${name}'s tests, by discovered group.\n")
  set(taken "")
  set(kinds ${ARG_KINDS})
  set(group 0)
  list(LENGTH kinds count)
  while(count GREATER 1)
    list(POP_FRONT kinds filter labels)
    string(REPLACE "," ";" labels "${labels}")
    if(taken)
      set(selection "${filter}-${taken}")
      string(APPEND taken ":${filter}")
    else()
      set(selection "${filter}")
      set(taken "${filter}")
    endif()
    bq_discover_tests(${name} ${group} "${selection}" "${ARG_LABELS};${labels}" "${ARG_ENV}")
    math(EXPR group "${group} + 1")
    list(LENGTH kinds count)
  endwhile()
  if(taken)
    set(selection "*-${taken}")
  else()
    set(selection "*")
  endif()
  bq_discover_tests(${name} ${group} "${selection}" "${ARG_LABELS};unit" "${ARG_ENV}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${label_script}")
endfunction()

# Discovers the tests of `name` that `filter` selects, as group `group`, and
# adds their labelling to the program's label script.
function(bq_discover_tests name group filter labels environment)
  set(properties TIMEOUT 300)
  if(environment)
    list(APPEND properties ENVIRONMENT "${environment}")
  endif()
  set(list_name "${name}_TESTS_${group}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER "${filter}"
    TEST_LIST ${list_name} PROPERTIES ${properties})
  list(REMOVE_ITEM labels "")
  file(APPEND "${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake"
    "if(${list_name})\n  set_tests_properties(\${${list_name}} PROPERTIES LABELS \"${labels}\")\nendif()\n")
endfunction()
