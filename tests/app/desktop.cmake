# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Tests of the desktop integration: MPRIS on a private session bus, one instance per user
# (two real processes), and the installed program.
if(SONAVUE_GUI)
  # Each runs on a private session bus of its own.
  sonavue_add_test(test_app_mpris
    SOURCES test_app_mpris.cpp ${PROJECT_SOURCE_DIR}/tests/playback/testsinks.cpp
    LIBS sv_desktop LABELS gui LAUNCHER dbus-run-session --)

  # Starts the real player twice, so it needs the player built.
  sonavue_add_test(test_app_singleinstance
    SOURCES test_app_singleinstance.cpp
    LIBS sv_desktop LABELS gui LAUNCHER dbus-run-session --)
  add_dependencies(test_app_singleinstance Sonavue)

  sonavue_add_test(test_app_install SOURCES test_app_install.cpp LIBS sv_base
                   LABELS gui install)
  target_compile_definitions(test_app_install PRIVATE SONAVUE_CMAKE_COMMAND="${CMAKE_COMMAND}")
  add_dependencies(test_app_install Sonavue sonavue-catalogue)

  # The real player as a process: command-line answers, quit signals, its settings name.
  sonavue_add_test(test_app_programprocess SOURCES test_app_programprocess.cpp LIBS sv_desktop
                   LABELS gui TIMEOUT 300)
  add_dependencies(test_app_programprocess Sonavue)

  # The window icon built into the program from the rendered icon sizes.
  sonavue_add_test(test_app_programicon SOURCES test_app_programicon.cpp LIBS sv_program_icon
                   LABELS gui)
endif()
