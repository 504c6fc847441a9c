# The system half of the Win32 stand-in: clocks, registry, system
# information, locale, shell "open", the screen's device caps and the
# user's own folders.
add_library(korvel_win32 STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistryHive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HiveFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachineHive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinReg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistryBatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Volume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinNls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinGdi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellApi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UserFolders.cpp
)
target_include_directories(korvel_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(korvel_win32 PUBLIC korvel_vcl_core PRIVATE Qt6::Gui)
