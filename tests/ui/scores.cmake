# The arcade inside the running program, the stage summary, the high-score
# window with its local table, and the enter-name dialog.
korvel_add_test(scores_test GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ControlFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ArcadeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScoresDialogsTest.cpp
  LIBS korvel_program_fixture)
add_dependencies(scores_test korvel_languages korvel_packs korvel_sounds korvel_songs korvel_help)
# The high-score window's online exchange against the maker's web server of
# the tests, and the main window's page of the maker's other game.
korvel_add_test(online_scores_test GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ControlFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnlineScoresTest.cpp
  LIBS korvel_program_fixture korvel_maker_server)
add_dependencies(online_scores_test korvel_languages korvel_packs korvel_sounds korvel_songs korvel_help)
