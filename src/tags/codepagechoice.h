// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What codepage=auto reads ID3v1 text in. A record is read in one code page, not field by
// field. Its own bytes settle it when they can only be one: valid UTF-8, or text that only
// Shift-JIS or only Western European (1252) reads cleanly. Most Western text is also clean
// Shift-JIS (a Latin-1 capital is a half-width katakana, "é" before a letter a kanji), so
// the rest takes the choice of the record's folder, made from all its tags together: a
// record there that settles it, else a statistical detector (uchardet) over the folder's
// whole tag text; Shift-JIS where that evidence is weak.
//
// The scan makes each folder's choice and keeps it, so that a reader of one file (the
// player's record, the tag card) reads it as the catalogue does; a folder the scan has
// not seen is judged from its music files when first asked about.
#include "tags/tagcodepage.h"

#include <QByteArray>
#include <sys/types.h>
#include <vector>

namespace sonavue {

// The folder's choice, ShiftJis or Western, from its ID3v1 records (128 bytes each;
// those without "TAG" are passed over).
TagCodePage autoFolderCodePage(const std::vector<const char*>& records);
// The code page of one record: Utf8, ShiftJis or Western, folderPage when its own bytes
// leave it open.
TagCodePage autoRecordCodePage(const char* record, TagCodePage folderPage);
// A lone field's code page by its own bytes, Shift-JIS when they leave it open.
TagCodePage autoFieldCodePage(const char* bytes, qsizetype size);

// Keeps the choice made for the folder with this device and inode (the scan's).
void rememberFolderCodePage(dev_t device, ino_t inode, TagCodePage page);
// The code page a reader of the file at nativePath reads its record in: setting unless it
// is Auto; then the record's own choice within its folder's (remembered, or made now).
TagCodePage recordCodePageAt(const QByteArray& nativePath, const char* record, TagCodePage setting);

} // namespace sonavue
