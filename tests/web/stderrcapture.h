// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Catches what this process writes to stderr while the object lives (the file descriptor
// itself, so lines written with fprintf are caught as well as Qt's messages).
#include <QByteArray>
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>

class StderrCapture {
public:
    StderrCapture() {
        if (!m_file.open())
            qFatal("cannot create a file for stderr");
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() {
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written so far.
    QByteArray text() {
        std::fflush(stderr);
        QFile reader(m_file.fileName());
        return reader.open(QIODevice::ReadOnly) ? reader.readAll() : QByteArray();
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};
