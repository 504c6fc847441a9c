# The board view with its digit counters, and the surrender dialog.
list(APPEND KORVEL_UI_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/GFXEngine.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TCanvasLCD.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TSurrenderForm.cpp
)
