# The game controller inside the running program: the loop, the end of a
# game, matches and undo, the settings table, the music, the saved game,
# and the commands that come while the code below them still runs.
korvel_add_test(control_test GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ControlFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlLoopTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlEndTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlSettingsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NestingTest.cpp
  LIBS korvel_program_fixture korvel_maker_server)
add_dependencies(control_test korvel_languages korvel_packs korvel_sounds korvel_songs korvel_help)
