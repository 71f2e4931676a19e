# Shared helpers for the project's libraries and tests.
include(GoogleTest)

# varn_test(NAME SOURCES ... LIBS ... [QT])
# Builds one GoogleTest executable and registers its cases with CTest. With QT
# the executable gets a main that creates a QApplication (offscreen platform).
# Either main sets the test environment (see tests/support/TestEnvironment.h).
function(varn_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} varn_test_support GTest::gtest GTest::gmock)
  if(T_QT)
    target_link_libraries(${name} PRIVATE varn_test_main_qt)
  else()
    target_link_libraries(${name} PRIVATE varn_test_main)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT 300
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# varn_library(TARGET FOLDER folder [INTERFACE] [SOURCES ...] [PUBLIC_HEADERS ...])
# One library per source folder. Its users see only the headers listed as
# public, each as "folder/Name.h", through a folder of links in the build tree;
# the library's own sources see every header of their folder the same way.
# The test target varn_internals_<folder> opens the whole folder to the tests
# (and fuzz targets) that check its internals.
function(varn_library target)
  cmake_parse_arguments(L "INTERFACE" "FOLDER" "SOURCES;PUBLIC_HEADERS" ${ARGN})
  set(exports ${CMAKE_BINARY_DIR}/exports/${L_FOLDER})
  set(internals ${CMAKE_BINARY_DIR}/internals/${L_FOLDER})
  file(REMOVE_RECURSE ${exports})
  file(MAKE_DIRECTORY ${exports}/${L_FOLDER} ${internals})
  foreach(header ${L_PUBLIC_HEADERS})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
      message(FATAL_ERROR "${L_FOLDER}: public header ${header} does not exist")
    endif()
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${exports}/${L_FOLDER}/${header} SYMBOLIC)
  endforeach()
  if(NOT EXISTS ${internals}/${L_FOLDER})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${internals}/${L_FOLDER} SYMBOLIC)
  endif()
  if(L_INTERFACE)
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${exports})
  else()
    add_library(${target} STATIC ${L_SOURCES})
    target_include_directories(${target} PUBLIC ${exports} PRIVATE ${internals})
  endif()
  add_library(varn_internals_${L_FOLDER} INTERFACE)
  target_include_directories(varn_internals_${L_FOLDER} INTERFACE ${internals})
  target_link_libraries(varn_internals_${L_FOLDER} INTERFACE ${target})
endfunction()

# Drops the sanitizer options a target took from its folder, for code that
# must run without the sanitizer runtime (the static stub).
function(varn_without_sanitizers target)
  foreach(property COMPILE_OPTIONS LINK_OPTIONS)
    get_target_property(options ${target} ${property})
    if(options)
      list(FILTER options EXCLUDE REGEX "sanitize")
      set_target_properties(${target} PROPERTIES ${property} "${options}")
    endif()
  endforeach()
endfunction()
