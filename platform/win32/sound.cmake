# sndPlaySoundA on SDL2_mixer.
add_library(korvel_win32_sound STATIC ${CMAKE_CURRENT_LIST_DIR}/Sound.cpp)
target_include_directories(korvel_win32_sound PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(korvel_win32_sound PRIVATE PkgConfig::SDL2MIXER)
