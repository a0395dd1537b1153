# translations.cmake: the catalogues of the player's language, po/<code>.po compiled by msgfmt.
#
# Each language in po/LINGUAS is checked (msgfmt --check: a translation whose % conversions
# differ from its English is refused here, not in the game) and compiled into
# game/locale/<code>/LC_MESSAGES/tirvex.mo beside the staged game, where a game started from the
# build tree finds it, and installed under share/locale. The template po/tirvex.pot is remade by
# `make pot` alone, so that the build needs msgfmt but never xgettext.
find_program(MSGFMT msgfmt)
if(NOT MSGFMT)
  message(FATAL_ERROR "msgfmt not found: the catalogues of the game's languages need gettext "
                      "(apt-get install gettext)")
endif()

file(STRINGS ${CMAKE_SOURCE_DIR}/po/LINGUAS TIRVEX_LANGUAGES REGEX "^[^#]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/po/LINGUAS ${CMAKE_SOURCE_DIR}/po/POTFILES)
set(TIRVEX_CATALOGUES "")
foreach(language ${TIRVEX_LANGUAGES})
  string(STRIP "${language}" language)
  set(folder ${GAME_DIR}/locale/${language}/LC_MESSAGES)
  add_custom_command(OUTPUT ${folder}/tirvex.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${MSGFMT} --check -o ${folder}/tirvex.mo ${CMAKE_SOURCE_DIR}/po/${language}.po
    DEPENDS ${CMAKE_SOURCE_DIR}/po/${language}.po
    COMMENT "Compiling the catalogue of the language ${language}"
    VERBATIM)
  list(APPEND TIRVEX_CATALOGUES ${folder}/tirvex.mo)
  install(FILES ${folder}/tirvex.mo DESTINATION share/locale/${language}/LC_MESSAGES)
endforeach()
# The pictures with words painted in (the menu, the key card, the cast and level select screens)
# again in each language, packed into data/pz-<code>.dat beside pz.dat as reproducibly as it;
# the game lays them over the English ones. A translation too wide for its place fails here.
set(TIRVEX_LANGUAGE_PICTURES "")
foreach(language ${TIRVEX_LANGUAGES})
  string(STRIP "${language}" language)
  set(work ${CMAKE_BINARY_DIR}/datafile_work_${language})
  set(mo ${GAME_DIR}/locale/${language}/LC_MESSAGES/tirvex.mo)
  add_custom_command(OUTPUT ${GAME_DIR}/data/pz-${language}.dat
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${work}
    COMMAND make_datafile --pictures ${language} ${mo} ${work}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TIRVEX_SOURCE_DATE_EPOCH}
            bash ${CMAKE_SOURCE_DIR}/tools/make_datafile/pack_datafile.sh ${work}
            ${GAME_DIR}/data/pz-${language}.dat $<TARGET_FILE:make_datafile>
    DEPENDS make_datafile ${mo} ${CMAKE_SOURCE_DIR}/tools/make_datafile/pack_datafile.sh
    COMMENT "Painting the pictures with words in the language ${language}"
    VERBATIM)
  list(APPEND TIRVEX_LANGUAGE_PICTURES ${GAME_DIR}/data/pz-${language}.dat)
endforeach()
add_custom_target(catalogues DEPENDS ${TIRVEX_CATALOGUES} ${TIRVEX_LANGUAGE_PICTURES})
set_property(GLOBAL APPEND PROPERTY GAME_DATA_TARGETS catalogues)

# The desktop entries and the metainfo, their translated names and descriptions merged in from
# every language's catalogue (msgfmt --desktop, --xml); the English is the source's own.
set(TIRVEX_PO_FILES ${CMAKE_SOURCE_DIR}/po/LINGUAS)
foreach(language ${TIRVEX_LANGUAGES})
  string(STRIP "${language}" language)
  list(APPEND TIRVEX_PO_FILES ${CMAKE_SOURCE_DIR}/po/${language}.po)
endforeach()
set(TIRVEX_DESKTOP_FILES "")
foreach(entry tirvex.desktop:--desktop tirvex-edit.desktop:--desktop
              invalid.tirvex.Tirvex.metainfo.xml:--xml)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 name)
  list(GET entry 1 kind)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/install/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/install
    COMMAND ${MSGFMT} ${kind} --template=${CMAKE_SOURCE_DIR}/assets/install/${name}.in
            -d ${CMAKE_SOURCE_DIR}/po -o ${CMAKE_BINARY_DIR}/install/${name}
    DEPENDS ${CMAKE_SOURCE_DIR}/assets/install/${name}.in ${TIRVEX_PO_FILES}
    COMMENT "Merging the translations into ${name}"
    VERBATIM)
  list(APPEND TIRVEX_DESKTOP_FILES ${CMAKE_BINARY_DIR}/install/${name})
endforeach()
add_custom_target(desktop_files ALL DEPENDS ${TIRVEX_DESKTOP_FILES})

# The template: every text of po/POTFILES (paths from the source folder), _() and N_() marked.
find_program(XGETTEXT xgettext)
file(STRINGS ${CMAKE_SOURCE_DIR}/po/POTFILES TIRVEX_POTFILES REGEX "^[^#]")
# The cast screen's entries come from assets/text/cast.txt, a section a text, and the shipped
# levels' names and ideas from their maps (po/data_pot.sh).
file(GLOB TIRVEX_SHIPPED_MAPS RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/assets/maps/map*.txt)
# The languages as one word list for the shell: a CMake list would reach it joined by ';'.
string(REPLACE ";" " " TIRVEX_LANGUAGE_WORDS "${TIRVEX_LANGUAGES}")
add_custom_target(pot
  COMMAND sh po/data_pot.sh ${CMAKE_BINARY_DIR}/cast_text.po assets/text/cast.txt
          ${TIRVEX_SHIPPED_MAPS}
  COMMAND ${XGETTEXT} --from-code=UTF-8 --keyword=_ --keyword=N_
          --add-comments=TRANSLATORS: --package-name=tirvex --package-version=${PROJECT_VERSION}
          --msgid-bugs-address=maren.holt@tirvex.invalid --no-wrap
          -o po/tirvex.pot ${TIRVEX_POTFILES} ${CMAKE_BINARY_DIR}/cast_text.po
  COMMAND ${XGETTEXT} -j --language=Desktop --no-wrap -o po/tirvex.pot
          assets/install/tirvex.desktop.in assets/install/tirvex-edit.desktop.in
  # xgettext knows the metainfo by its name: a copy under the name the package installs.
  COMMAND ${CMAKE_COMMAND} -E copy assets/install/invalid.tirvex.Tirvex.metainfo.xml.in
          ${CMAKE_BINARY_DIR}/pot/assets/install/invalid.tirvex.Tirvex.metainfo.xml
  COMMAND sh -c "cd \"$0\" && \"$1\" -j --no-wrap -o \"$2\" $3" ${CMAKE_BINARY_DIR}/pot
          ${XGETTEXT} ${CMAKE_SOURCE_DIR}/po/tirvex.pot
          assets/install/invalid.tirvex.Tirvex.metainfo.xml
  COMMAND sh -c "for l in $0; do msgmerge --quiet --update --backup=none --no-wrap po/$l.po po/tirvex.pot; done" "${TIRVEX_LANGUAGE_WORDS}"
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Remaking po/tirvex.pot and merging it into each language"
  VERBATIM)
