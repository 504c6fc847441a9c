# The program entry's main window and the player-selection dialog.
list(APPEND KORVEL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TForm1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TPlayerSelectionForm.cpp
)
