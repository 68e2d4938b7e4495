# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# The frameless translucent window, its colour key and the title-strip drag are X11
# features: under Wayland the player runs through XWayland, unless the user chose a
# platform. Without an X display Qt picks what there is.
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -n "${DISPLAY:-}" ]; then
  QT_QPA_PLATFORM=xcb
  export QT_QPA_PLATFORM
fi
