# Each library's headers are reached through an include root of its own, so a
# target sees the headers of the libraries it links and no others: an
# `#include "sff/archive.h"` in a target that does not link Pelvaro::sff does
# not compile. The root of a library is a folder in the build tree that holds
# one link, named as the library's source folder, to that folder; includes keep
# their "folder/file.h" spelling.

set(PELVARO_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include-roots)

# A folder of the build tree whose only entry is `folder` (a path below the
# source tree, such as "tests/support"), linked to the source folder.
function(pelvaro_make_include_root root folder)
  get_filename_component(parent "${root}/${folder}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  if(NOT IS_SYMLINK "${root}/${folder}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
  endif()
endfunction()

# pelvaro_library(<target> <folder> [INTERFACE])
# Gives the library made in <folder> its include root, for itself and for
# every target that links it, and the alias Pelvaro::<name>, where <name> is
# the target's name without its "pelvaro_" prefix.
function(pelvaro_library target folder)
  set(root ${PELVARO_INCLUDE_ROOTS}/${target})
  pelvaro_make_include_root(${root} ${folder})
  if(ARGN STREQUAL "INTERFACE")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
  string(REGEX REPLACE "^pelvaro_" "" name ${target})
  add_library(Pelvaro::${name} ALIAS ${target})
endfunction()

# pelvaro_include_root(<target> <folder>)
# An executable's own headers (a test's or a benchmark's helpers), reached as
# "<folder>/file.h" by that target alone.
function(pelvaro_include_root target folder)
  set(root ${PELVARO_INCLUDE_ROOTS}/${target})
  pelvaro_make_include_root(${root} ${folder})
  target_include_directories(${target} PRIVATE ${root})
endfunction()
