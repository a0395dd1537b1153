# install.cmake: where make install puts the game, its data, its tools and its desktop files.
# Paths are relative to CMAKE_INSTALL_PREFIX; DESTDIR stages them elsewhere.
set(DATA_DESTINATION share/games/tirvex)

install(TARGETS tirvex RUNTIME DESTINATION games)
install(PROGRAMS $<TARGET_FILE:level_checker> DESTINATION games RENAME tirvex-check)
install(PROGRAMS $<TARGET_FILE:preview> DESTINATION games RENAME tirvex-preview)

install(FILES ${GAME_DIR}/data/pz.dat DESTINATION ${DATA_DESTINATION}/data)
install(DIRECTORY ${GAME_DIR}/maps/ DESTINATION ${DATA_DESTINATION}/maps FILES_MATCHING PATTERN "map*.txt")
install(DIRECTORY ${GAME_DIR}/bsp/ DESTINATION ${DATA_DESTINATION}/bsp FILES_MATCHING PATTERN "*.bsp")

set(INSTALL_SOURCES ${CMAKE_SOURCE_DIR}/assets/install)
install(FILES ${INSTALL_SOURCES}/tirvex.desktop DESTINATION share/applications)
install(FILES ${INSTALL_SOURCES}/invalid.tirvex.Tirvex.metainfo.xml DESTINATION share/metainfo)
foreach(size 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/tirvex-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME tirvex.png)
endforeach()

# Manual pages, compressed at build time as Debian keeps them.
set(MAN_OUTPUTS "")
foreach(page tirvex tirvex-check tirvex-preview)
  set(output ${CMAKE_BINARY_DIR}/man/${page}.6.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9n < '${INSTALL_SOURCES}/${page}.6' > '${output}'"
    DEPENDS ${INSTALL_SOURCES}/${page}.6
    VERBATIM)
  list(APPEND MAN_OUTPUTS ${output})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${MAN_OUTPUTS})
install(FILES ${MAN_OUTPUTS} DESTINATION share/man/man6)
