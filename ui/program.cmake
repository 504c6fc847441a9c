# The program korvel in the program folder, and the data beside it that no
# generator writes: the language file, and its enciphered copy for the tests
# of the enciphered language mode (kept outside the program folder, which
# reads the plain one).
add_executable(korvel ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(korvel PRIVATE korvel_ui)
set_target_properties(korvel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KORVEL_PROGRAM_DIR})

set(korvel_language_source ${PROJECT_SOURCE_DIR}/assets/Languages.rc)
set(korvel_language_file ${KORVEL_PROGRAM_DIR}/Languages.rc)
set(KORVEL_ENCIPHERED_LANGUAGE_FILE ${CMAKE_BINARY_DIR}/Languages.enc.rc
  CACHE INTERNAL "The enciphered copy of the language file")
add_custom_command(
  OUTPUT ${korvel_language_file}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${korvel_language_source} ${korvel_language_file}
  DEPENDS ${korvel_language_source}
  VERBATIM)
add_custom_command(
  OUTPUT ${KORVEL_ENCIPHERED_LANGUAGE_FILE}
  COMMAND langenc ${korvel_language_source} ${KORVEL_ENCIPHERED_LANGUAGE_FILE}
  DEPENDS langenc ${korvel_language_source}
  COMMENT "Enciphering the language file for the tests"
  VERBATIM)
add_custom_target(korvel_languages ALL
  DEPENDS ${korvel_language_file} ${KORVEL_ENCIPHERED_LANGUAGE_FILE})

install(TARGETS korvel RUNTIME DESTINATION ${KORVEL_INSTALL_DIR})
install(FILES ${korvel_language_file} DESTINATION ${KORVEL_INSTALL_DIR})

# Everything the program reads beside it is built with it.
add_dependencies(korvel korvel_languages korvel_packs korvel_sounds korvel_songs korvel_help)
