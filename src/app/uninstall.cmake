# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# The uninstall (cmake --build BUILD --target uninstall): removes what the last
# `cmake --install` of this build folder laid out, as MANIFEST (its install_manifest.txt)
# lists it, and what was made beside it: the settings file the player writes into its
# program folder when it may (a ~/.local install), the desktop's caches of entries and icons
# (refreshed without Sonavue's, or removed when nothing else is left in them), and the
# folders left empty, up to the prefix.
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} is missing; this build folder has "
                      "installed nothing (or it was uninstalled already)")
endif()
file(STRINGS "${MANIFEST}" installed)
set(prefix "")
foreach(file IN LISTS installed)
  if(file MATCHES "^(.+)/bin/sonavue$")
    set(prefix "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(prefix STREQUAL "")
  message(FATAL_ERROR "${MANIFEST} names no bin/sonavue: not an install of the player")
endif()

# The player's own writes in its program folder: its settings, their lock, a write cut short.
file(GLOB written "${prefix}/lib/sonavue/Sonavue.ini" "${prefix}/lib/sonavue/.Sonavue.ini.lock"
     "${prefix}/lib/sonavue/.Sonavue.ini.*.tmp")
set(folders "")
foreach(file IN LISTS installed written)
  if(EXISTS "${file}" OR IS_SYMLINK "${file}")
    message(STATUS "Removing ${file}")
    file(REMOVE "${file}")
  endif()
  get_filename_component(folder "${file}" DIRECTORY)
  list(APPEND folders "${folder}")
endforeach()

# A cache refreshed by its tool, or removed when nothing it would list is left.
function(refresh_or_remove cache folder tool)
  file(GLOB_RECURSE left LIST_DIRECTORIES false "${folder}/*")
  list(FILTER left EXCLUDE REGEX "/(mimeinfo|icon-theme)\\.cache$")
  find_program(found_tool ${tool} NO_CACHE)
  if(NOT left)
    file(REMOVE "${cache}")
  elseif(found_tool AND EXISTS "${cache}")
    execute_process(COMMAND ${found_tool} ${ARGN} "${folder}")
  endif()
endfunction()
if(IS_DIRECTORY "${prefix}/share/applications")
  refresh_or_remove("${prefix}/share/applications/mimeinfo.cache" "${prefix}/share/applications"
                    update-desktop-database -q)
endif()
if(IS_DIRECTORY "${prefix}/share/icons/hicolor")
  refresh_or_remove("${prefix}/share/icons/hicolor/icon-theme.cache"
                    "${prefix}/share/icons/hicolor" gtk-update-icon-cache -q -t -f)
  list(APPEND folders "${prefix}/share/icons/hicolor")
endif()

# Each folder a file was removed from, and the folders above it, while they are empty.
list(REMOVE_DUPLICATES folders)
foreach(folder IN LISTS folders)
  string(FIND "${folder}" "${prefix}/" at)
  while(at EQUAL 0 AND IS_DIRECTORY "${folder}")
    file(GLOB inside LIST_DIRECTORIES true "${folder}/*" "${folder}/.*")
    if(inside)
      break()
    endif()
    file(REMOVE_RECURSE "${folder}") # empty
    get_filename_component(folder "${folder}" DIRECTORY)
    string(FIND "${folder}" "${prefix}/" at)
  endwhile()
endforeach()
