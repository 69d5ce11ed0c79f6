# The layers of src/ and the layers each may include from. A file belongs to
# the deepest listed folder holding it; it may include its own layer and,
# transitively, what that layer uses. Run at configure time by the top
# CMakeLists.txt and as the test layer_includes:
#   cmake -DVT_SOURCE_DIR=<repo> -P cmake/LayerCheck.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25) # IN_LIST and the project's other policies
endif()

set(vt_layers
  core
  sources/fetch sources/encoding sources/html/nesting sources/html
  sources/style sources/text sources/article sources/reader sources
  speech export commands window)
set(vt_uses_core "")
set(vt_uses_sources/fetch core)
set(vt_uses_sources/encoding core)
set(vt_uses_sources/html/nesting core)
set(vt_uses_sources/html sources/html/nesting core)
set(vt_uses_sources/style sources/html)
set(vt_uses_sources/text sources/style)
set(vt_uses_sources/article sources/text)
set(vt_uses_sources/reader sources/article sources/encoding sources/fetch)
set(vt_uses_sources sources/reader)
set(vt_uses_speech core)
set(vt_uses_export speech sources)
set(vt_uses_commands export)
set(vt_uses_window export)

# The layer a src-relative path (of a file or its folder) belongs to, or "".
function(vt_layer_of path out)
  set(best "")
  foreach(layer IN LISTS vt_layers)
    string(FIND "${path}/" "${layer}/" at)
    if(at EQUAL 0)
      string(LENGTH "${layer}" n)
      string(LENGTH "${best}" m)
      if(n GREATER m)
        set(best "${layer}")
      endif()
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

function(vt_reachable layer out)
  set(seen ${layer})
  set(todo ${layer})
  while(todo)
    list(POP_FRONT todo current)
    foreach(next IN LISTS vt_uses_${current})
      if(NOT next IN_LIST seen)
        list(APPEND seen ${next})
        list(APPEND todo ${next})
      endif()
    endforeach()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

function(vt_check_layers source_dir)
  file(GLOB_RECURSE files RELATIVE "${source_dir}/src"
    "${source_dir}/src/*.h" "${source_dir}/src/*.cpp")
  set(problems "")
  foreach(file IN LISTS files)
    get_filename_component(dir "${file}" DIRECTORY)
    vt_layer_of("${dir}" layer)
    if(layer STREQUAL "")
      continue() # main.cpp sits above every layer
    endif()
    vt_reachable(${layer} allowed)
    file(STRINGS "${source_dir}/src/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" included "${line}")
      if(included MATCHES "/")
        get_filename_component(included_dir "${included}" DIRECTORY)
      else()
        set(included_dir "${dir}") # beside the including file
      endif()
      vt_layer_of("${included_dir}" target)
      if(target STREQUAL "" OR NOT target IN_LIST allowed)
        string(APPEND problems "\n  src/${file} (${layer}) includes \"${included}\"")
      endif()
    endforeach()
  endforeach()
  if(problems)
    message(FATAL_ERROR "Includes against the layers:${problems}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  vt_check_layers("${VT_SOURCE_DIR}")
  message(STATUS "Layers: every include in src/ points down")
endif()
