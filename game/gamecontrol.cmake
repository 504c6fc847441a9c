# The game controller joins the window's library: it reaches up into the
# main window (menus, status bar, music player) and owns the board view.
list(APPEND KORVEL_UI_SOURCES
  ${PROJECT_SOURCE_DIR}/game/gamecontrol.cpp
  ${PROJECT_SOURCE_DIR}/game/gamecontrol_match.cpp
  ${PROJECT_SOURCE_DIR}/game/gamecontrol_settings.cpp
  ${PROJECT_SOURCE_DIR}/game/gamecontrol_arcade.cpp)
