# The tutorial window beside the board.
list(APPEND KORVEL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TTutorialForm.cpp
)
