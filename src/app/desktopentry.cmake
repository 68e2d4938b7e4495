# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Run by the install (cmake --install), when the prefix is finally known: writes the desktop
# entry with the launcher's installed path. A menu hides an entry whose TryExec it cannot
# find, and PREFIX/bin may not be on the PATH (a first install into ~/.local), so the entry
# names PREFIX/bin/sonavue whole. Given: SONAVUE_DESKTOP_TEMPLATE (the entry with
# @SONAVUE_EXEC@, @SONAVUE_TRY_EXEC@ and @SONAVUE_MIME_TYPES@), SONAVUE_DESKTOP_NAME,
# SONAVUE_MIME_TYPES (the MimeType value); CMAKE_INSTALL_PREFIX.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(launcher "${prefix}/bin/sonavue")
if(launcher MATCHES "[\n\r\t]")
  message(FATAL_ERROR "A desktop entry cannot name a launcher at \"${launcher}\": install "
                      "into a prefix without line breaks or tabs in its path")
endif()

# TryExec is a plain string value: only a backslash is escaped.
string(REPLACE "\\" "\\\\" SONAVUE_TRY_EXEC "${launcher}")
# Exec is a command line: % is doubled, and a path holding anything but plain characters is
# quoted, with " ` $ and \ escaped by a backslash, which the string value escapes once more.
string(REPLACE "%" "%%" exec "${launcher}")
if(exec MATCHES "[^A-Za-z0-9/._+,=:@%-]")
  string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
  string(REPLACE "\"" "\\\\\"" exec "${exec}")
  string(REPLACE "`" "\\\\`" exec "${exec}")
  string(REPLACE "$" "\\\\$" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
set(SONAVUE_EXEC "${exec}")

file(READ "${SONAVUE_DESKTOP_TEMPLATE}" template)
set(entry "$ENV{DESTDIR}${prefix}/share/applications/${SONAVUE_DESKTOP_NAME}")
message(STATUS "Installing: ${entry}")
file(CONFIGURE OUTPUT "${entry}" CONTENT "${template}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
