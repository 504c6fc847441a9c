# Resource modules: graphics packs (Qt binary resource files) and the
# built-in modules reached through LoadLibraryA/GetProcAddress.
add_library(korvel_win32_resources STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Resources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourcesFormat.cpp
)
target_include_directories(korvel_win32_resources PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(korvel_win32_resources PUBLIC Qt6::Gui korvel_vcl_core PRIVATE korvel_win32)
