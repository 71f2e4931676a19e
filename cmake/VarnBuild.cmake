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
