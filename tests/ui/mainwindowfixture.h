// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Shared by the main-window tests: a music library written to disk, a settings file of the
// test's own, and a start-up through the real entry procedure with a media double.
#include "base/settings.h"
#include "core/corestart.h"
#include "playback/fakes/fakemediacontrol.h"
#include "support/modeltesters.h"
#include "support/musicfiles.h"
#include "tags/codepage.h"
#include "ui/library/librarypanes.h"
#include "ui/library/musicfolder.h"
#include "ui/settings/appearancecontroller.h"
#include "ui/startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace sonavue::testing {

struct TrackSpec {
    QString relativePath{}; // below the music folder
    QString title{}, artist{}, album{}, year{};
    int genre = 12;
    bool tagged = true;
};

inline void writeTrack(const QString& root, const TrackSpec& t) {
    std::optional<TagFields> tag;
    if (t.tagged)
        tag = TagFields{encodeCodePage(t.title),
                        encodeCodePage(t.artist),
                        encodeCodePage(t.album),
                        encodeCodePage(t.year),
                        {},
                        t.genre};
    QVERIFY(writeMusicFile(root + QLatin1Char('/') + t.relativePath, 400, tag));
}

// The window reads and writes <test program folder>/<appName>.ini.
class SettingsFile {
public:
    explicit SettingsFile(QString appName) : m_appName(std::move(appName)) { remove(); }
    ~SettingsFile() { remove(); }
    QString path() const { return settingsFilePath(m_appName); }
    void remove() const { QFile::remove(path()); }
    void set(const QString& key, const QString& value) const {
        writeSetting(m_appName, QStringLiteral("init"), key, value);
    }
    QString get(const QString& key) const {
        return readSetting(m_appName, QStringLiteral("init"), key, QStringLiteral("<missing>"));
    }
    const QString& appName() const { return m_appName; }

private:
    QString m_appName;
};

// A started program held as a pointer to its window: the core under the window lives as long
// as the window does. The core's item models are under the model tester from the start-up's
// return on.
class RunningWindow {
public:
    RunningWindow() = default;
    RunningWindow(StartedProgram program) : m_program(std::move(program)) {
        if (m_program.mainWindow)
            m_testers = std::make_unique<ModelTesters>(m_program.mainWindow->core().browsing());
    }
    MainWindow& operator*() const { return *m_program.mainWindow; }
    MainWindow* operator->() const { return m_program.mainWindow.get(); }
    MainWindow* get() const { return m_program.mainWindow.get(); }
    explicit operator bool() const { return bool(m_program.mainWindow); }
    StartedProgram& program() { return m_program; }
    // The testers go, then the window, then the core.
    void reset() {
        m_testers.reset();
        m_program = {};
    }

private:
    StartedProgram m_program;
    std::unique_ptr<ModelTesters> m_testers;
};

// A media double whose play state the test sets.
class StatefulMedia : public FakeMediaControl {
public:
    using FakeMediaControl::FakeMediaControl;
    State playState = State::Closed;
    State state() const override { return playState; }
};

struct StartedWindow {
    RunningWindow form;
    FakeMediaControl* media = nullptr;
    QStringList mediaLog;
};

// The files opened, in order, by the names the media log gives them (without their folder).
inline QStringList openedNames(const QStringList& mediaLog) {
    QStringList names;
    for (const QString& entry : mediaLog)
        if (entry.startsWith(QLatin1String("Open ")))
            names << entry.mid(5);
    return names;
}

// The start-up's options for a test: its own settings file, the given media element, no
// message boxes, and the web panel only when asked for.
inline StartOptions testOptions(const QString& appName, std::unique_ptr<MediaControl> media,
                                bool withWeb = false) {
    StartOptions options;
    options.window.appName = appName;
    options.window.withWebPanel = withWeb;
    options.window.showMessage = [](const QString&) {};
    options.core.media = std::move(media);
    return options;
}

// The web panel is made once the window has first been drawn: whether it came (within 15 s).
inline bool webPanelAdded(const QWidget& form) {
    return QTest::qWaitFor(
        [&] { return form.findChild<QWidget*>(QStringLiteral("Web1")) != nullptr; }, 15000);
}

inline std::unique_ptr<StartedWindow> startWindow(const QString& appName, bool withWeb = false) {
    auto started = std::make_unique<StartedWindow>();
    auto media = std::make_unique<FakeMediaControl>(started->mediaLog);
    started->media = media.get();
    started->form = startProgram(testOptions(appName, std::move(media), withWeb));
    return started;
}

} // namespace sonavue::testing
