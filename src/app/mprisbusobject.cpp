// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/mprisbusobject.h"

#include "app/mprisplayer.h"
#include "base/version.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <functional>

namespace sonavue {
namespace {

const QString RootInterface = QString::fromLatin1(MprisPlayer::RootInterface);
const QString PlayerInterface = QString::fromLatin1(MprisPlayer::PlayerInterface);
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

const char* const IntrospectionXml = R"(  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek">
      <arg name="Offset" type="x" direction="in"/>
    </method>
    <method name="SetPosition">
      <arg name="TrackId" type="o" direction="in"/>
      <arg name="Position" type="x" direction="in"/>
    </method>
    <method name="OpenUri">
      <arg name="Uri" type="s" direction="in"/>
    </method>
    <signal name="Seeked">
      <arg name="Position" type="x"/>
    </signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="readwrite"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="Metadata" type="a{sv}" access="read">
      <annotation name="org.qtproject.QtDBus.QtTypeName" value="QVariantMap"/>
    </property>
    <property name="Volume" type="d" access="readwrite"/>
    <property name="Shuffle" type="b" access="readwrite"/>
    <property name="LoopStatus" type="s" access="readwrite"/>
    <property name="Position" type="x" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
)";

QDBusMessage invalidArgs(const QDBusMessage& message, const QString& why) {
    return message.createErrorReply(QDBusError::InvalidArgs, why);
}

} // namespace

MprisBusObject::MprisBusObject(MprisPlayer& player)
    : QDBusVirtualObject(&player), m_player(player) {}

QString MprisBusObject::introspect(const QString&) const {
    return QString::fromLatin1(IntrospectionXml);
}

QVariantMap MprisBusObject::properties(const QString& interface) const {
    if (interface == RootInterface)
        return {{QStringLiteral("CanQuit"), true},
                {QStringLiteral("CanRaise"), true},
                {QStringLiteral("HasTrackList"), false},
                {QStringLiteral("Identity"), QStringLiteral("Sonavue")},
                {QStringLiteral("DesktopEntry"), QString::fromLatin1(DesktopId)},
                {QStringLiteral("SupportedUriSchemes"), QStringList{QStringLiteral("file")}},
                {QStringLiteral("SupportedMimeTypes"), MprisPlayer::supportedMimeTypes()}};
    if (interface != PlayerInterface)
        return {};
    QVariantMap map{{QStringLiteral("PlaybackStatus"), m_player.playbackStatus()},
                    {QStringLiteral("Rate"), 1.0},
                    {QStringLiteral("MinimumRate"), 1.0},
                    {QStringLiteral("MaximumRate"), 1.0},
                    {QStringLiteral("Metadata"), m_player.metadata()},
                    {QStringLiteral("Volume"), m_player.volume()},
                    {QStringLiteral("Shuffle"), m_player.shuffle()},
                    {QStringLiteral("LoopStatus"), m_player.loopStatus()},
                    {QStringLiteral("Position"), m_player.positionUs()}};
    for (const char* can :
         {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek", "CanControl"})
        map.insert(QString::fromLatin1(can), true);
    return map;
}

bool MprisBusObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    const QString interface = message.interface();
    QDBusMessage reply;
    if (interface == PropertiesInterface)
        reply = answerProperties(message);
    else if (interface == RootInterface || interface == PlayerInterface || interface.isEmpty())
        reply = answerMethod(message);
    else
        return false; // introspection, and the rest, as the connection answers them
    if (reply.type() != QDBusMessage::InvalidMessage && message.isReplyRequired())
        connection.send(reply);
    return true;
}

QDBusMessage MprisBusObject::answerProperties(const QDBusMessage& message) const {
    const QVariantList args = message.arguments();
    const QString signature = message.signature();
    if (message.member() == QLatin1String("GetAll") && signature == QLatin1String("s")) {
        const QString interface = args.at(0).toString();
        if (interface != RootInterface && interface != PlayerInterface)
            return message.createErrorReply(QDBusError::UnknownInterface, interface);
        return message.createReply(QVariant::fromValue(properties(interface)));
    }
    if (message.member() == QLatin1String("Get") && signature == QLatin1String("ss")) {
        const QVariantMap all = properties(args.at(0).toString());
        const QString name = args.at(1).toString();
        if (!all.contains(name))
            return message.createErrorReply(QDBusError::UnknownProperty, name);
        return message.createReply(QVariant::fromValue(QDBusVariant(all.value(name))));
    }
    if (message.member() == QLatin1String("Set") && signature == QLatin1String("ssv"))
        return answerSet(message);
    return message.createErrorReply(QDBusError::UnknownMethod, message.member());
}

QDBusMessage MprisBusObject::answerSet(const QDBusMessage& message) const {
    const QVariantList args = message.arguments();
    const QString interface = args.at(0).toString();
    const QString name = args.at(1).toString();
    const QVariant value = args.at(2).value<QDBusVariant>().variant();
    if (!properties(interface).contains(name))
        return message.createErrorReply(QDBusError::UnknownProperty, name);
    const bool writable = interface == PlayerInterface &&
                          (name == QLatin1String("Volume") || name == QLatin1String("Rate") ||
                           name == QLatin1String("Shuffle") || name == QLatin1String("LoopStatus"));
    if (!writable)
        return message.createErrorReply(QDBusError::PropertyReadOnly, name);
    if (name == QLatin1String("Shuffle")) {
        if (value.metaType().id() != QMetaType::Bool)
            return invalidArgs(message, QStringLiteral("Shuffle takes a truth value (type b)"));
        m_player.setShuffle(value.toBool());
        return message.createReply();
    }
    if (name == QLatin1String("LoopStatus")) {
        if (value.metaType().id() != QMetaType::QString ||
            !m_player.setLoopStatus(value.toString()))
            return invalidArgs(
                message, QStringLiteral("LoopStatus takes \"None\", \"Track\" or \"Playlist\""));
        return message.createReply();
    }
    if (value.metaType().id() != QMetaType::Double)
        return invalidArgs(message, QStringLiteral("%1 takes a number (type d)").arg(name));
    if (name == QLatin1String("Volume"))
        m_player.setVolume(value.toDouble());
    // Tracks play at their own speed only: a rate is taken and changes nothing.
    return message.createReply();
}

QDBusMessage MprisBusObject::answerMethod(const QDBusMessage& message) const {
    const QString member = message.member();
    const QString signature = message.signature();
    const QVariantList args = message.arguments();
    using Action = std::function<void()>;
    QHash<QString, std::pair<QString, Action>> actions{
        {QStringLiteral("Raise"), {QString(), [this] { m_player.raise(); }}},
        {QStringLiteral("Quit"), {QString(), [this] { m_player.quit(); }}},
        {QStringLiteral("Seek"),
         {QStringLiteral("x"), [this, &args] { m_player.seek(args.at(0).toLongLong()); }}},
        {QStringLiteral("SetPosition"),
         {QStringLiteral("ox"),
          [this, &args] {
              m_player.setPosition(args.at(0).value<QDBusObjectPath>().path(),
                                   args.at(1).toLongLong());
          }}},
    };
    // Play, Pause, PlayPause, Stop, Next, Previous: the player's verbs, as its table names them.
    for (const PlayerVerbInfo& info : playerVerbs())
        if (!info.mprisName.isEmpty())
            actions.insert(QString(info.mprisName),
                           {QString(), [this, verb = info.verb] { m_player.run(verb); }});
    if (member == QLatin1String("OpenUri")) {
        if (signature != QLatin1String("s"))
            return invalidArgs(message, QStringLiteral("OpenUri takes one URI (type s)"));
        // A local file goes to the reserved list; anything else is answered with why not.
        const QString why = m_player.openUri(args.at(0).toString());
        return why.isEmpty() ? message.createReply() : invalidArgs(message, why);
    }
    const auto found = actions.constFind(member);
    if (found == actions.cend())
        return message.createErrorReply(QDBusError::UnknownMethod, member);
    if (signature != found->first)
        return invalidArgs(
            message, QStringLiteral("%1 takes arguments of type \"%2\"").arg(member, found->first));
    found->second();
    return message.createReply();
}

} // namespace sonavue
