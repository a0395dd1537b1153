# install.cmake: where `cmake --install` puts the game, its four tools, its data and desktop files.
set(TIRVEX_SHARE share/games/tirvex)

install(TARGETS tirvex RUNTIME DESTINATION games)
install(PROGRAMS $<TARGET_FILE:level_checker> DESTINATION games RENAME tirvex-check)
install(PROGRAMS $<TARGET_FILE:preview> DESTINATION games RENAME tirvex-preview)
install(PROGRAMS $<TARGET_FILE:tirvex_edit> DESTINATION games RENAME tirvex-edit)
install(PROGRAMS $<TARGET_FILE:level_generator> DESTINATION games RENAME tirvex-generate)

# The data as staged beside the game, by the names of their sources: whatever a test run left in
# the staged folder stays behind.
install(FILES ${GAME_DIR}/data/pz.dat ${TIRVEX_LANGUAGE_PICTURES} DESTINATION ${TIRVEX_SHARE}/data)
file(GLOB INSTALL_MAPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/maps/*.txt)
foreach(map ${INSTALL_MAPS})
  get_filename_component(name ${map} NAME)
  install(FILES ${GAME_DIR}/maps/${name} DESTINATION ${TIRVEX_SHARE}/maps)
endforeach()
file(GLOB INSTALL_SOLUTIONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/solutions/*.txt)
foreach(solution ${INSTALL_SOLUTIONS})
  get_filename_component(name ${solution} NAME)
  install(FILES ${GAME_DIR}/solutions/${name} DESTINATION ${TIRVEX_SHARE}/solutions)
endforeach()
file(GLOB INSTALL_MODELS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/models/*.model)
foreach(model ${INSTALL_MODELS})
  get_filename_component(name ${model} NAME_WE)
  install(FILES ${GAME_DIR}/bsp/${name}.bsp DESTINATION ${TIRVEX_SHARE}/bsp)
endforeach()

# Desktop entry, icons (painted by make_datafile) and the software centre's description.
set(INSTALL_SOURCES ${CMAKE_SOURCE_DIR}/assets/install)
# The desktop entries and the metainfo as made with their translations (cmake/translations.cmake).
install(FILES ${CMAKE_BINARY_DIR}/install/tirvex.desktop ${CMAKE_BINARY_DIR}/install/tirvex-edit.desktop
        DESTINATION share/applications)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/tirvex-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME tirvex.png)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/icons/tirvex.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_BINARY_DIR}/install/invalid.tirvex.Tirvex.metainfo.xml
        DESTINATION share/metainfo)

# Manual pages, compressed at build time without a name or time stamp in the gzip header.
set(MAN_PAGES "")
foreach(page tirvex tirvex-check tirvex-preview tirvex-edit tirvex-generate)
  set(packed ${CMAKE_BINARY_DIR}/man/${page}.6.gz)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${INSTALL_SOURCES}/${page}.6 ${packed}
    DEPENDS ${INSTALL_SOURCES}/${page}.6
    COMMENT "Compressing the manual page ${page}(6)"
    VERBATIM)
  list(APPEND MAN_PAGES ${packed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${MAN_PAGES})
install(FILES ${MAN_PAGES} DESTINATION share/man/man6)
