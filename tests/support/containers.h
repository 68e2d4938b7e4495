// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The containers of the opt-in file types written byte by byte: FLAC metadata blocks, Ogg
// pages and MP4 atoms, well formed or built to be hostile.
#include "bytes.h"

#include <QList>
#include <utility>

namespace sonavue::testing {

// A Vorbis comment packet's body: vendor string, then "KEY=value" comments.
QByteArray vorbisComments(const QList<QByteArray>& comments);

// One FLAC metadata block (type 0 STREAMINFO, 4 VORBIS_COMMENT, 6 PICTURE, ...).
QByteArray flacBlock(int type, const QByteArray& body, bool last);
// A FLAC file's head: the marker, a STREAMINFO block, then the given blocks.
QByteArray flacHead(const QByteArray& blocks);
// A PICTURE block's body (which a Vorbis comment METADATA_BLOCK_PICTURE holds in base64):
// the picture type (3 front cover, 4 back cover, ...), the MIME type and the picture.
QByteArray flacPicture(int type, const QByteArray& mime, const QByteArray& data);
// A FLAC file whose only tag is a Vorbis comment with these comments.
QByteArray flacFile(const QList<QByteArray>& comments);

// One Ogg page with these lacing values and body, its checksum filled in.
QByteArray oggRawPage(const QByteArray& laces, const QByteArray& body, quint32 sequence, int flags,
                      quint64 granule, quint32 serial = 1);
// One Ogg page holding whole packets (at most 255 laces in all).
QByteArray oggPage(const QList<QByteArray>& packets, quint32 sequence, int flags = 0,
                   quint64 granule = 0);
// One packet spread over pages of one lace each, from page sequence on (the pages before
// its end have no granule position).
QByteArray oggSpreadPacket(const QByteArray& packet, quint32 sequence);
// The first page of an Ogg Vorbis or Opus stream: its identification packet.
QByteArray oggVorbisIdentPage();
QByteArray oggOpusIdentPage();
QByteArray vorbisCommentPacket(const QList<QByteArray>& comments);
// The first two packets of an Ogg Vorbis or Opus stream: identification and comments.
QByteArray oggVorbisHead(const QList<QByteArray>& comments);
QByteArray oggOpusHead(const QList<QByteArray>& comments);

// One MP4 atom: 32-bit size, type, body.
QByteArray atom(const QByteArray& type, const QByteArray& body);
// One iTunes-style item ("\xA9nam", "covr") whose data atom holds bytes of this class: 1
// text, 13 JPEG, 14 PNG.
QByteArray mp4Item(const QByteArray& type, const QByteArray& bytes, int dataClass = 1);
// An M4A file with an iTunes-style tag of these text items, then moreItems as they are.
QByteArray mp4File(const QList<std::pair<QByteArray, QByteArray>>& texts,
                   const QByteArray& moreItems = {});
// depth atoms each holding the next, the innermost nothing.
QByteArray nestedAtoms(const QByteArray& type, int depth);

} // namespace sonavue::testing
