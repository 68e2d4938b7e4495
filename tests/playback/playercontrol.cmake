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

