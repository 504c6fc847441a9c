# The main window, the player-selection dialog and whole games, on the
# offscreen platform with the data files of the program folder.
set(korvel_program_data korvel_languages korvel_packs korvel_sounds korvel_songs korvel_help)

korvel_add_test(game_test GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GamePlayTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GameFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GamePolicy.cpp
  LIBS korvel_program_fixture)
add_dependencies(game_test ${korvel_program_data})

korvel_add_test(window_test GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowPlayerSelectionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowDataTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GameFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GamePolicy.cpp
  LIBS korvel_program_fixture)
add_dependencies(window_test ${korvel_program_data})
target_compile_definitions(window_test PRIVATE
  KORVEL_ENCIPHERED_LANGUAGE_FILE="${KORVEL_ENCIPHERED_LANGUAGE_FILE}")
