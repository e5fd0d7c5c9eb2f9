find_package(GTest REQUIRED)
include(GoogleTest)

# Builds one GoogleTest executable from the given sources, links the engine and the shared test
# support and registers every test case with CTest.
function(gustrule_add_gtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE gustrule_engine gustrule_test_support GTest::gtest
                                        GTest::gtest_main)
  gustrule_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# Builds one QtTest executable (one test class) against LIBRARY and the shared window test steps
# and registers it with CTest; the window tests run on the offscreen platform so they need no
# display.
function(gustrule_add_qtest name)
  cmake_parse_arguments(ARG "" "LIBRARY" "SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARY} gustrule_window_test_support Qt6::Test)
  gustrule_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
