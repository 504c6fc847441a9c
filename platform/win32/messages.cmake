# Hidden windows and posted messages on the Qt event loop.
add_library(korvel_win32_messages STATIC ${CMAKE_CURRENT_LIST_DIR}/Messages.cpp)
target_include_directories(korvel_win32_messages PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(korvel_win32_messages PUBLIC korvel_vcl_core PRIVATE Qt6::Core)
