# The arcade's stage summary, the high-score window with its records, and
# the enter-name dialog of the online post.
list(APPEND KORVEL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TScore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/THighScoreForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TPostedScores.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TEnterNameForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TAdvanceStageForm.cpp
)
