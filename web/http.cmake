# The HTTP client and the synchronous form posts, on the socket layer.
add_library(korvel_web_http STATIC
  ${CMAKE_CURRENT_LIST_DIR}/HttpProtFunctions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HttpProt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HTTPConnector.cpp
)
target_include_directories(korvel_web_http PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(korvel_web_http PUBLIC korvel_web korvel_myunits)
