# records_fuzz.cmake: the fuzz targets of the records file reader and the solution file readers,
# built and run as the others in this folder are (clang's libFuzzer and AddressSanitizer, a few
# seconds with a fixed seed as a test). Included by tests/CMakeLists.txt after the folder.
if(NOT CLANGXX)
  return()
endif()

set(FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(FUZZ_OUT ${CMAKE_CURRENT_BINARY_DIR}/fuzz)

set(RECORDS_FUZZ_BINARY ${FUZZ_OUT}/records_file_fuzz)
set(RECORDS_FUZZ_SOURCES ${FUZZ_DIR}/records_file_fuzz.cpp ${CMAKE_SOURCE_DIR}/src/ui/records_file.cpp)
add_custom_command(OUTPUT ${RECORDS_FUZZ_BINARY}
  COMMAND ${CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
          -fno-sanitize-recover=undefined -I${CMAKE_SOURCE_DIR}/src ${RECORDS_FUZZ_SOURCES}
          -o ${RECORDS_FUZZ_BINARY}
  DEPENDS ${RECORDS_FUZZ_SOURCES} ${CMAKE_SOURCE_DIR}/src/ui/records_file.h
  COMMENT "Building the records file fuzz target with clang")
add_custom_target(records_file_fuzz ALL DEPENDS ${RECORDS_FUZZ_BINARY})

# Seeds: records files of both kinds, with pars and lines to merge.
add_test(NAME fuzz_records_file
  COMMAND sh ${FUZZ_DIR}/run_fuzz.sh ${RECORDS_FUZZ_BINARY} ${FUZZ_OUT}/records_corpus
          ${FUZZ_DIR}/records_seeds)
set_tests_properties(fuzz_records_file PROPERTIES TIMEOUT 120)

set(SOLUTION_FUZZ_BINARY ${FUZZ_OUT}/solution_file_fuzz)
set(SOLUTION_FUZZ_SOURCES ${FUZZ_DIR}/solution_file_fuzz.cpp
    ${CMAKE_SOURCE_DIR}/src/world/solution_file.cpp ${CMAKE_SOURCE_DIR}/src/ui/records_file.cpp)
add_custom_command(OUTPUT ${SOLUTION_FUZZ_BINARY}
  COMMAND ${CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
          -fno-sanitize-recover=undefined -I${CMAKE_SOURCE_DIR}/src ${SOLUTION_FUZZ_SOURCES}
          -o ${SOLUTION_FUZZ_BINARY}
  DEPENDS ${SOLUTION_FUZZ_SOURCES} ${CMAKE_SOURCE_DIR}/src/world/solution_file.h
          ${CMAKE_SOURCE_DIR}/src/ui/records_file.h
  COMMENT "Building the solution file fuzz target with clang")
add_custom_target(solution_file_fuzz ALL DEPENDS ${SOLUTION_FUZZ_BINARY})

# Seeds: the shipped levels' solutions.
add_test(NAME fuzz_solution_file
  COMMAND sh ${FUZZ_DIR}/run_fuzz.sh ${SOLUTION_FUZZ_BINARY} ${FUZZ_OUT}/solution_corpus
          ${CMAKE_SOURCE_DIR}/assets/solutions)
set_tests_properties(fuzz_solution_file PROPERTIES TIMEOUT 120)
