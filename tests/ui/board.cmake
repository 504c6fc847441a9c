# The board view, its counters and the surrender dialog, on the main window
# of the offscreen platform with the generated graphics packs.
korvel_add_test(board_test GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/BoardFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BoardViewTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BoardInputTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BoardAnimationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BoardDialogsTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/tools/PackFixture.cpp
  LIBS korvel_program_fixture korvel_packgen_core Qt6::Gui Qt6::Widgets)
target_compile_definitions(board_test PRIVATE KORVEL_RCC="$<TARGET_FILE:Qt6::rcc>")
add_dependencies(board_test korvel_packs korvel_sounds korvel_languages)
