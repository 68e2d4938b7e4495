// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Files dropped on the window go to the reserved list as files handed from outside do;
// folders, remote addresses and the rest are refused, each refusal reported on stderr.
#include <QObject>

class QMimeData;
class QWidget;

namespace sonavue {

class Transport;

// True when the drop carries addresses the window may take.
bool offersFiles(const QMimeData& data);
// Hands the dropped files to transport; true when any was taken.
bool reserveDroppedFiles(Transport& transport, const QMimeData& data);

// Takes the drops on window (its parent) for transport: a drag that offers files is accepted,
// and a drop hands them on. The window itself says whether it accepts drops at all.
class FileDropTarget : public QObject {
public:
    FileDropTarget(QWidget& window, Transport& transport);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Transport& m_transport;
};

} // namespace sonavue
