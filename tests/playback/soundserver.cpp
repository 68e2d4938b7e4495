// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "soundserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace sonavue::testaudio {
namespace {

// How long a recording goes on after the sound ends: the sink's tail is heard by then.
constexpr int TailSilenceMs = 300;
// Samples compared to find where a file starts, and where it goes on after a fault.
constexpr qint64 StartProbe = 32;
constexpr qint64 ResyncProbe = 8;
// A silence this long (2 ms at 44.1 kHz) ends a file that is told by its length.
constexpr qint64 EndingSilence = 88;

std::vector<qint16> samplesOf(const QByteArray& bytes) {
    std::vector<qint16> samples(std::size_t(bytes.size() / 2));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

struct Matcher {
    const std::vector<qint16>& rec;
    int tolerance;

    qint64 size() const { return qint64(rec.size()); }
    bool silent(qint64 i) const { return std::abs(int(rec[std::size_t(i)])) <= tolerance; }
    bool same(qint64 i, qint16 expected) const {
        return std::abs(int(rec[std::size_t(i)]) - int(expected)) <= tolerance;
    }
    // rec from i matches ref from j for n samples (as far as both go).
    bool matches(qint64 i, const std::vector<qint16>& ref, qint64 j, qint64 n) const {
        n = std::min({n, size() - i, qint64(ref.size()) - j});
        if (n <= 0)
            return false;
        for (qint64 k = 0; k < n; ++k)
            if (!same(i + k, ref[std::size_t(j + k)]))
                return false;
        return true;
    }
    qint64 findStart(qint64 from, const std::vector<qint16>& ref) const {
        for (qint64 i = from; i < size(); ++i)
            if (matches(i, ref, 0, StartProbe))
                return i;
        return -1;
    }
    qint64 silenceFrom(qint64 i) const {
        qint64 run = 0;
        while (i + run < size() && silent(i + run))
            ++run;
        return run;
    }

    // Walks an exact file from its start; returns where it ended in the recording.
    qint64 walkExact(const std::vector<qint16>& ref, Heard& heard) const {
        const qint64 length = qint64(ref.size());
        qint64 i = heard.start;
        qint64 j = 0;
        while (j < length && i < size()) {
            if (same(i, ref[std::size_t(j)])) {
                ++i, ++j, ++heard.heard;
                continue;
            }
            if (silent(i)) {
                // Silence inside the file, when it goes on afterwards; else the file ended.
                const qint64 run = silenceFrom(i);
                if (!matches(i + run, ref, j, ResyncProbe))
                    break;
                heard.silentInside += run;
                i += run;
                continue;
            }
            // Samples skipped: find where the file goes on.
            qint64 next = j + 1;
            while (next < length && !matches(i, ref, next, ResyncProbe))
                ++next;
            if (next >= length)
                break;
            if (heard.firstLost < 0)
                heard.firstLost = j;
            heard.lost += next - j;
            j = next;
        }
        if (j < length && heard.firstLost < 0)
            heard.firstLost = j;
        heard.lost += length - j;
        return i;
    }
};

} // namespace

SoundServer::SoundServer(int rate) : m_rate(rate) {}

SoundServer::~SoundServer() {
    for (QProcess* process : {&m_recorder, &m_server}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
}

std::optional<QString> SoundServer::start() {
    const QString pulse = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    const QString pactl = QStandardPaths::findExecutable(QStringLiteral("pactl"));
    if (pulse.isEmpty() || pactl.isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
        return QStringLiteral("PulseAudio (pulseaudio, pactl, parec) is not installed");
    if (!m_runtime.isValid())
        return QStringLiteral("no temporary folder");
    m_address = QStringLiteral("unix:") + m_runtime.filePath(QStringLiteral("native"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
        env.insert(QString::fromLatin1(name), m_runtime.path());
    m_server.setProcessEnvironment(env);
    // Its complaints (no session bus, shared memory falling back to copies) are no news here.
    m_server.setStandardOutputFile(QProcess::nullDevice());
    m_server.setStandardErrorFile(QProcess::nullDevice());
    // At the priority a desktop's server has (nice -11, its sink's thread real-time): the test
    // run's other work must not starve it into dropping what the player wrote.
    m_server.start(pulse, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                           QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
                           QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=error"),
                           QStringLiteral("--high-priority=yes"), QStringLiteral("--realtime=yes"),
                           QStringLiteral("-L"),
                           QStringLiteral("module-null-sink sink_name=heard rate=%1 channels=1 "
                                          "format=s16le norewinds=1")
                               .arg(m_rate),
                           QStringLiteral("-L"),
                           QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1")
                               .arg(m_runtime.filePath(QStringLiteral("native")))});
    if (!m_server.waitForStarted(10000))
        return QStringLiteral("pulseaudio did not start");
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_server.state() == QProcess::Running) {
        QProcess probe;
        probe.setStandardOutputFile(QProcess::nullDevice());
        probe.setStandardErrorFile(QProcess::nullDevice());
        probe.start(pactl, {QStringLiteral("--server=") + m_address, QStringLiteral("info")});
        if (probe.waitForFinished(5000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0) {
            qputenv("PULSE_SERVER", m_address.toUtf8());
            return std::nullopt;
        }
        m_server.waitForFinished(100);
    }
    return QStringLiteral("pulseaudio did not answer");
}

void SoundServer::startRecording() {
    m_recorder.start(QStandardPaths::findExecutable(QStringLiteral("parec")),
                     {QStringLiteral("--server=") + m_address,
                      QStringLiteral("--device=heard.monitor"), QStringLiteral("--latency-msec=20"),
                      QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                      QStringLiteral("--rate=%1").arg(m_rate), QStringLiteral("--channels=1")});
    // Recording once the monitor's silence arrives, so nothing played from now on is missed.
    m_recorder.waitForStarted(10000);
    m_recorder.waitForReadyRead(10000);
}

std::vector<qint16> SoundServer::stopRecording() {
    // Until the sink has been silent for a while: the end of what was played has been heard.
    QByteArray bytes;
    const qint64 tail = qint64(m_rate) * TailSilenceMs / 1000;
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_recorder.state() == QProcess::Running) {
        m_recorder.waitForReadyRead(100);
        bytes += m_recorder.readAllStandardOutput();
        const std::vector<qint16> end = samplesOf(bytes.right(tail * 2));
        if (qint64(end.size()) == tail &&
            std::all_of(end.begin(), end.end(), [](qint16 s) { return std::abs(int(s)) <= 2; }))
            break;
    }
    m_recorder.terminate();
    m_recorder.waitForFinished(3000);
    bytes += m_recorder.readAllStandardOutput();
    return samplesOf(bytes);
}

std::vector<Heard> hearFiles(const std::vector<qint16>& recording,
                             const std::vector<Expected>& files, int tolerance) {
    const Matcher m{recording, tolerance};
    std::vector<Heard> result(files.size());
    qint64 at = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const Expected& file = files[f];
        Heard& heard = result[f];
        const qint64 length = qint64(file.samples.size());
        if (file.exact) {
            heard.start = m.findStart(at, file.samples);
        } else {
            heard.start = at;
            while (heard.start < m.size() && m.silent(heard.start))
                ++heard.start;
            if (heard.start >= m.size())
                heard.start = -1;
        }
        if (heard.start < 0) {
            heard.lost = length;
            continue;
        }
        for (qint64 i = at; i < heard.start; ++i)
            ++(m.silent(i) ? heard.silentBefore : heard.strayBefore);
        if (file.exact) {
            at = m.walkExact(file.samples, heard);
            continue;
        }
        // Told by its length: up to a silence, or to where the next (exact) file starts.
        qint64 end = m.size();
        if (f + 1 < files.size() && files[f + 1].exact) {
            const qint64 next = m.findStart(heard.start + 1, files[f + 1].samples);
            end = next < 0 ? end : next;
        }
        qint64 i = heard.start;
        while (i < end && m.silenceFrom(i) < std::min(EndingSilence, end - i))
            i += std::max<qint64>(1, m.silenceFrom(i));
        heard.heard = i - heard.start;
        heard.lost = std::max<qint64>(0, length - heard.heard);
        at = i;
    }
    return result;
}

} // namespace sonavue::testaudio
