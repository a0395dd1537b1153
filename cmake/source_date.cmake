# source_date.cmake: the one date a build carries, so that the same sources build the same bytes.
# It is SOURCE_DATE_EPOCH when set (dpkg-buildpackage sets it from debian/changelog), else, in an
# unpacked release tarball, the last commit's time that the tarball carries in
# cmake/source_date_epoch.txt (it has no .git; tools/package_deb/release_tarball.sh writes it),
# else the time of the last commit, else the date of debian/changelog's newest entry. The file
# comes before git because a tarball unpacked inside another checkout would otherwise take that
# checkout's last commit. The datafile's objects are dated by it (TIRVEX_SOURCE_DATE_EPOCH,
# tools/make_datafile) and the credits' "Build:" line gives it in the compiler's date form
# (TIRVEX_BUILD_DATE, src/app/startup.cpp), or the version where no date can be had.
set(TIRVEX_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
set(source_date_from "SOURCE_DATE_EPOCH")
if(NOT TIRVEX_SOURCE_DATE_EPOCH AND EXISTS ${CMAKE_SOURCE_DIR}/cmake/source_date_epoch.txt)
  file(STRINGS ${CMAKE_SOURCE_DIR}/cmake/source_date_epoch.txt TIRVEX_SOURCE_DATE_EPOCH LIMIT_COUNT 1)
  set(source_date_from "cmake/source_date_epoch.txt")
endif()
if(NOT TIRVEX_SOURCE_DATE_EPOCH)
  set(source_date_from "the last commit")
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE TIRVEX_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT TIRVEX_SOURCE_DATE_EPOCH AND EXISTS ${CMAKE_SOURCE_DIR}/debian/changelog)
  set(source_date_from "debian/changelog")
  file(STRINGS ${CMAKE_SOURCE_DIR}/debian/changelog trailer REGEX "^ -- " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" changelog_date "${trailer}")
  execute_process(COMMAND date -d "${changelog_date}" +%s
    OUTPUT_VARIABLE TIRVEX_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()

if(TIRVEX_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  # string(TIMESTAMP) reads the time from SOURCE_DATE_EPOCH when that is set.
  set(given_epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} ${TIRVEX_SOURCE_DATE_EPOCH})
  string(TIMESTAMP month "%b" UTC)
  string(TIMESTAMP day "%d" UTC)
  string(TIMESTAMP year "%Y" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${given_epoch}")
  string(REGEX REPLACE "^0" " " day "${day}")
  set(TIRVEX_BUILD_DATE "${month} ${day} ${year}")
  message(STATUS "Source date: ${TIRVEX_SOURCE_DATE_EPOCH} (${source_date_from})")
else()
  message(WARNING "No SOURCE_DATE_EPOCH, cmake/source_date_epoch.txt, git history or "
                  "debian/changelog: the build is dated 1970")
  set(TIRVEX_SOURCE_DATE_EPOCH 0)
  set(TIRVEX_BUILD_DATE "version ${PROJECT_VERSION}")
endif()
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/app/startup.cpp PROPERTIES
  COMPILE_DEFINITIONS "TIRVEX_BUILD_DATE=\"${TIRVEX_BUILD_DATE}\"")
