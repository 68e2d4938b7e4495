// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Deterministic random input for the MIDI pre-check: random bytes behind a MIDI header and
// random damage to sound files. Nothing may crash or read out of bounds (the sanitizer build
// runs this too), and a sound file cut inside its last chunk is always refused.
#include "playback/midicheck.h"
#include "playback/midifiles.h"
#include "randombytes.h"

#include <QTest>
#include <QtEndian>
#include <random>

using namespace sonavue;
using namespace sonavue::testing;
using sonavue::testmidi::chunk;

namespace {

// A sound file of a few tracks of random channel events.
QByteArray soundFile(Random& random) {
    std::uniform_int_distribution<int> tracks(1, 3), events(0, 20), data(0, 127), kind(8, 14);
    QByteArray file("MThd\0\0\0\x06\0\x01\0\0\0\x60", 14);
    const int count = tracks(random);
    file[11] = char(count);
    for (int t = 0; t < count; ++t) {
        QByteArray body;
        for (int e = events(random); e > 0; --e) {
            const int status = kind(random) << 4;
            body += char(data(random)); // a one-byte event time
            body += char(status);
            body += char(data(random));
            if (status != 0xC0 && status != 0xD0)
                body += char(data(random));
        }
        body += QByteArray("\0\xFF\x2F\0", 4);
        file += chunk("MTrk", body);
    }
    return file;
}

} // namespace

class TestRandomMidi : public QObject {
    Q_OBJECT
private slots:
    void randomBytesBehindAHeader() {
        Random random(11);
        for (int i = 0; i < 20000; ++i) {
            const QByteArray bytes =
                (i % 2 ? QByteArray("MThd") : QByteArray("RIFF\0\0\0\0RMID", 12)) +
                randomBytes(random, 200);
            midiDefect(bytes); // only must not crash or read outside the bytes
        }
    }
    void damagedSoundFiles() {
        Random random(12);
        std::uniform_int_distribution<int> byte(0, 255);
        for (int i = 0; i < 5000; ++i) {
            const QByteArray sound = soundFile(random);
            QVERIFY2(!midiDefect(sound), sound.toHex().constData());
            QVERIFY2(midiDefect(sound.chopped(1)), sound.toHex().constData());
            QByteArray damaged = sound;
            std::uniform_int_distribution<qsizetype> at(0, damaged.size() - 1);
            for (int n = 1 + i % 4; n > 0; --n)
                damaged[at(random)] = char(byte(random));
            midiDefect(damaged);
            midiDefect(damaged.left(at(random)));
        }
    }
};

QTEST_GUILESS_MAIN(TestRandomMidi)
#include "test_fuzz_randommidi.moc"
