# layers.cmake: one library per folder of src/, each seeing only its own headers and those below.
#
# tirvex_layer(name [ALSO_SEES_FOR_NOW higher ...]) declares the next layer up, bottom first:
# tirvex_<name> builds src/<name> (but a main.cpp, which is a program's), links the layer
# declared before it, and gives whatever links it the include folder layers/<name>/ of the build
# tree, in which <name> links to src/<name>. So "world/player.h" resolves only in the layers from
# world up and in what links them, and an include that runs up the layers fails to compile. src/
# itself is on no include path. Adding a layer is one more call, in its place.
#
# A layer that still includes a higher one names it in ALSO_SEES_FOR_NOW: it then sees that
# layer's own headers (not those the higher layer sees; a header of it that includes the higher
# layer's needs its users to link that layer too) and the programs link the two in either order.
# Drop the name once its includes are gone; cmake/check_layers.sh (the ctest "layers") lists
# them, and says when an exception is no longer needed.

set(TIRVEX_LAYERS "")
set(TIRVEX_LAYER_EXCEPTIONS "")

function(tirvex_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "ALSO_SEES_FOR_NOW")
  set(include_dir ${CMAKE_BINARY_DIR}/layers/${name})
  file(MAKE_DIRECTORY ${include_dir})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${name} ${include_dir}/${name} SYMBOLIC)

  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(tirvex_${name} STATIC ${sources})
  target_include_directories(tirvex_${name} PUBLIC ${include_dir})
  list(LENGTH TIRVEX_LAYERS below_count)
  if(below_count EQUAL 0)
    target_link_libraries(tirvex_${name} PUBLIC PkgConfig::ALLEGRO m)
  else()
    list(GET TIRVEX_LAYERS -1 below)
    target_link_libraries(tirvex_${name} PUBLIC tirvex_${below})
  endif()

  # The exceptions: the higher layer's folder only, and a link that carries no include path.
  set(exception "")
  foreach(higher ${arg_ALSO_SEES_FOR_NOW})
    target_include_directories(tirvex_${name} PRIVATE ${CMAKE_BINARY_DIR}/layers/${higher})
    target_link_libraries(tirvex_${name} INTERFACE "$<LINK_ONLY:tirvex_${higher}>")
    list(APPEND exception ${higher})
  endforeach()
  if(exception)
    list(JOIN exception "," exception)
    set(TIRVEX_LAYER_EXCEPTIONS ${TIRVEX_LAYER_EXCEPTIONS} "${name}:${exception}" PARENT_SCOPE)
  endif()
  set(TIRVEX_LAYERS ${TIRVEX_LAYERS} ${name} PARENT_SCOPE)
endfunction()

# After the last layer: checks that each exception names a layer above its own, reports how many
# are left, registers the ctest "layers" and sets TIRVEX_LAYER_INCLUDE_FLAGS (every layer's
# folder, for the fuzz targets built by hand).
function(tirvex_layers_done)
  set(pairs "")
  foreach(exception ${TIRVEX_LAYER_EXCEPTIONS})
    string(REPLACE ":" ";" parts ${exception})
    list(GET parts 0 layer)
    list(GET parts 1 highers)
    string(REPLACE "," ";" highers ${highers})
    list(FIND TIRVEX_LAYERS ${layer} layer_rank)
    foreach(higher ${highers})
      list(FIND TIRVEX_LAYERS ${higher} higher_rank)
      if(higher_rank LESS_EQUAL layer_rank)
        message(FATAL_ERROR "Layer ${layer}: ${higher} in ALSO_SEES_FOR_NOW is no layer above it")
      endif()
      list(APPEND pairs "${layer}->${higher}")
    endforeach()
  endforeach()
  list(LENGTH pairs count)
  # While exceptions make the layers a cycle, the linker may meet a library it needs only after
  # it has passed it: the cycle is listed as many times as there are layers.
  list(LENGTH TIRVEX_LAYERS layer_count)
  foreach(layer ${TIRVEX_LAYERS})
    set_property(TARGET tirvex_${layer} PROPERTY LINK_INTERFACE_MULTIPLICITY ${layer_count})
  endforeach()
  list(JOIN TIRVEX_LAYERS " < " order)
  list(JOIN pairs " " pairs)
  message(STATUS "Layers ${order}; ${count} wrong-way exceptions left: ${pairs}")

  list(JOIN TIRVEX_LAYERS " " order_argument)
  list(JOIN TIRVEX_LAYER_EXCEPTIONS " " exceptions_argument)
  add_test(NAME layers COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/check_layers.sh ${CMAKE_SOURCE_DIR}/src
           "${order_argument}" "${exceptions_argument}")
  set_tests_properties(layers PROPERTIES TIMEOUT 60)

  set(flags "")
  foreach(layer ${TIRVEX_LAYERS})
    list(APPEND flags -I${CMAKE_BINARY_DIR}/layers/${layer})
  endforeach()
  set(TIRVEX_LAYER_INCLUDE_FLAGS ${flags} PARENT_SCOPE)
endfunction()
