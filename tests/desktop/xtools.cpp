// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "xtools.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace sonavue::xtools {
namespace {

QString hexId(WindowId window) {
    return QStringLiteral("0x") + QString::number(window, 16);
}

// The number after "label" on a line of xwininfo's report.
std::optional<int> reportedNumber(const QString& report, const QString& label) {
    const QRegularExpression line(QRegularExpression::escape(label) +
                                  QStringLiteral(":\\s*(-?\\d+)"));
    const QRegularExpressionMatch match = line.match(report);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

} // namespace

ToolResult run(const QString& program, const QStringList& arguments, int timeoutMs) {
    ToolResult result;
    QProcess process;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    deadline.start(timeoutMs);
    // The caller's windows go on handling events while the tool works.
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(2000);
        result.error = program + QStringLiteral(" did not finish in time");
        return result;
    }
    result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.error = process.error() == QProcess::FailedToStart
                       ? program + QStringLiteral(" could not be started")
                       : QString::fromLocal8Bit(process.readAllStandardError());
    result.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
                process.error() != QProcess::FailedToStart;
    return result;
}

bool xdotool(const QStringList& arguments) {
    const ToolResult result = run(QStringLiteral("xdotool"), arguments);
    if (!result.ok)
        qWarning("xdotool %s: %s", qPrintable(arguments.join(QLatin1Char(' '))),
                 qPrintable(result.error));
    return result.ok;
}

std::optional<WindowInfo> windowInfo(WindowId window) {
    const ToolResult result =
        run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), hexId(window)});
    if (!result.ok)
        return std::nullopt;
    const auto x = reportedNumber(result.output, QStringLiteral("Absolute upper-left X"));
    const auto y = reportedNumber(result.output, QStringLiteral("Absolute upper-left Y"));
    const auto width = reportedNumber(result.output, QStringLiteral("Width"));
    const auto height = reportedNumber(result.output, QStringLiteral("Height"));
    if (!x || !y || !width || !height)
        return std::nullopt;
    return WindowInfo{QRect(*x, *y, *width, *height),
                      result.output.contains(QStringLiteral("Map State: IsViewable"))};
}

QRect screenGeometry() {
    const ToolResult result = run(QStringLiteral("xwininfo"), {QStringLiteral("-root")});
    const auto width = reportedNumber(result.output, QStringLiteral("Width"));
    const auto height = reportedNumber(result.output, QStringLiteral("Height"));
    return width && height ? QRect(0, 0, *width, *height) : QRect();
}

WindowId activeWindow() {
    const ToolResult result = run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
    return result.ok ? result.output.trimmed().toULong() : 0;
}

QStringList atoms(WindowId window, const QString& property) {
    const ToolResult result =
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), hexId(window), property});
    // "_NET_WM_STATE(ATOM) = _NET_WM_STATE_ABOVE, _NET_WM_STATE_MAXIMIZED_VERT"
    const qsizetype equals = result.output.indexOf(QLatin1Char('='));
    if (!result.ok || equals < 0)
        return {};
    QStringList atoms = result.output.mid(equals + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString& atom : atoms)
        atom = atom.trimmed();
    return atoms;
}

QList<WindowId> stackingOrder() {
    const ToolResult result =
        run(QStringLiteral("xprop"),
            {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    // "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x400007, 0x600003"
    const qsizetype hash = result.output.indexOf(QLatin1Char('#'));
    QList<WindowId> windows;
    if (!result.ok || hash < 0)
        return windows;
    for (const QString& id : result.output.mid(hash + 1).split(QLatin1Char(',')))
        windows << id.trimmed().toULong(nullptr, 16);
    return windows;
}

bool windowManagerRunning() {
    const ToolResult result =
        run(QStringLiteral("xprop"),
            {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    return result.ok && result.output.contains(QStringLiteral("window id"));
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

// --- Input ---------------------------------------------------------------------------------

namespace {
// No --sync: it waits for the pointer to move, forever when it is already there. The server
// handles the move before the buttons that follow it anyway.
QStringList moveTo(WindowId window, QPoint at) {
    return {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
            QString::number(at.x()), QString::number(at.y())};
}
} // namespace

bool click(WindowId window, QPoint at, int count) {
    if (!window)
        return false;
    // A double-click's presses come as a hand makes them: well inside the double-click time.
    return xdotool(moveTo(window, at) +
                   QStringList{QStringLiteral("click"), QStringLiteral("--repeat"),
                               QString::number(count), QStringLiteral("--delay"),
                               QStringLiteral("120"), QStringLiteral("1")});
}

bool pressKey(const QString& keys) {
    return xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

bool typeText(const QString& text) {
    return xdotool({QStringLiteral("type"), QStringLiteral("--clearmodifiers"), text});
}

bool pressButton(WindowId window, QPoint at) {
    if (!window)
        return false;
    return xdotool(moveTo(window, at) +
                   QStringList{QStringLiteral("mousedown"), QStringLiteral("1")});
}

bool dragBy(QPoint delta, int steps) {
    QStringList arguments;
    QPoint done;
    for (int i = 1; i <= steps; ++i) {
        const QPoint target = delta * i / steps;
        const QPoint step = target - done;
        done = target;
        // "--" lets a step go left or up without being read as an option.
        arguments << QStringLiteral("mousemove_relative") << QStringLiteral("--")
                  << QString::number(step.x()) << QString::number(step.y())
                  << QStringLiteral("sleep") << QStringLiteral("0.02");
    }
    return xdotool(arguments);
}

bool releaseButton() {
    return xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
}

} // namespace sonavue::xtools
