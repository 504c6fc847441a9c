# The program entry's main window and the player-selection dialog, with the
# menu images that the build draws.
set(korvel_menu_images ${CMAKE_CURRENT_BINARY_DIR}/MenuImages.cpp)
add_custom_command(
  OUTPUT ${korvel_menu_images}
  COMMAND menuimages ${korvel_menu_images}
  DEPENDS menuimages
  COMMENT "Drawing the menu images"
  VERBATIM)
list(APPEND KORVEL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TForm1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TPlayerSelectionForm.cpp
  ${korvel_menu_images}
)
