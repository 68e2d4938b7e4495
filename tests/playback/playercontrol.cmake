# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Player control's tests, over the real browsing model and a fake media element.
sonavue_add_test(test_playback_playercontrol
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_playback_playercontrol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_playback_playercontrol_fade.cpp
    ${CMAKE_CURRENT_LIST_DIR}/playercontrolrig.cpp
    ${CMAKE_CURRENT_LIST_DIR}/playercontrolrig.h
    ${CMAKE_CURRENT_LIST_DIR}/fakes/fakemediacontrol.h
  LIBS sv_playback_control
  LABELS core
)

# Continuous play over the real media element and real files.
sonavue_add_test(test_playback_continuousplay
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_playback_continuousplay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/testsinks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/testsinks.h
  LIBS sv_playback_control
  LABELS playback
)
