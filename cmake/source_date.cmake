# source_date.cmake: the one date a build carries, so that the same sources build the same bytes.
# It is SOURCE_DATE_EPOCH when set (dpkg-buildpackage sets it from debian/changelog), else the
# time of the last commit, else the date of debian/changelog's newest entry. The datafile's
# objects are dated by it (TIRVEX_SOURCE_DATE_EPOCH, tools/make_datafile) and the credits'
# "Build:" line gives it in the compiler's date form (TIRVEX_BUILD_DATE, src/app/startup.cpp),
# or the version where no date can be had.
set(TIRVEX_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(NOT TIRVEX_SOURCE_DATE_EPOCH)
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE TIRVEX_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT TIRVEX_SOURCE_DATE_EPOCH AND EXISTS ${CMAKE_SOURCE_DIR}/debian/changelog)
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
else()
  message(WARNING "No SOURCE_DATE_EPOCH, git history or debian/changelog: the build is dated 1970")
  set(TIRVEX_SOURCE_DATE_EPOCH 0)
  set(TIRVEX_BUILD_DATE "version ${PROJECT_VERSION}")
endif()
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/app/startup.cpp PROPERTIES
  COMPILE_DEFINITIONS "TIRVEX_BUILD_DATE=\"${TIRVEX_BUILD_DATE}\"")
