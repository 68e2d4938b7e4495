// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Which local files the web panel's pages may reach: those in one folder (the folder of the
// page the program itself opened) and below it. Addresses that name no local file are not
// this rule's business and pass.
#include <QString>
#include <QUrl>

namespace sonavue {

class LocalFolderRule {
public:
    // folder: the folder whose files pages may read; with none, no local file is allowed.
    explicit LocalFolderRule(const QString& folder = QString());

    bool allows(const QUrl& url) const;
    // The folder as the rule compares it (links resolved, no trailing separator).
    const QString& folder() const { return m_folder; }

private:
    bool allowsPath(const QString& path) const;

    QString m_folder;
};

} // namespace sonavue
