# The tutorial window driving the controller in the running program.
korvel_add_test(tutorial_test GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/TutorialTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GameFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DrawnBoard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GamePolicy.cpp
  LIBS korvel_program_fixture)
add_dependencies(tutorial_test korvel_languages korvel_packs korvel_sounds korvel_songs korvel_help)
