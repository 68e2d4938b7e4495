// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The two MPRIS interfaces (org.mpris.MediaPlayer2 and its .Player) on
// /org/mpris/MediaPlayer2, answered message by message: the toolkit's own export cannot
// refuse a property value of the wrong type as the protocol asks (InvalidArgs), so the
// properties, the methods and their replies are handled here, over MprisPlayer.
#include <QDBusVirtualObject>

namespace sonavue {

class MprisPlayer;

class MprisBusObject : public QDBusVirtualObject {
    Q_OBJECT
public:
    explicit MprisBusObject(MprisPlayer& player);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    // The properties of one interface, as Properties.GetAll gives them.
    QVariantMap properties(const QString& interface) const;

private:
    QDBusMessage answerProperties(const QDBusMessage& message) const;
    QDBusMessage answerSet(const QDBusMessage& message) const;
    // The reply to a method call of one of the two interfaces; null when no reply is due.
    QDBusMessage answerMethod(const QDBusMessage& message) const;

    MprisPlayer& m_player;
};

} // namespace sonavue
