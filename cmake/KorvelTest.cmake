include(GoogleTest)

# korvel_add_test(<name> SOURCES ... LIBS ... [GUI] [RESOURCE_LOCK <lock>])
# One GoogleTest executable, each case run by CTest in its own process with a
# fresh registry hive ($XDG_CONFIG_HOME) made by the shared test main.
# GUI tests get a QApplication on Qt's offscreen platform.
function(korvel_add_test name)
  cmake_parse_arguments(T "GUI" "RESOURCE_LOCK" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE korvel_testmain_gui)
  else()
    target_link_libraries(${name} PRIVATE korvel_testmain)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  # The environment (program folder, source folder, offscreen platform) is
  # set by the shared test main: gtest_discover_tests passes on only the
  # first entry of an ENVIRONMENT list.
  set(props TIMEOUT 600)
  if(T_RESOURCE_LOCK)
    list(APPEND props RESOURCE_LOCK ${T_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()
