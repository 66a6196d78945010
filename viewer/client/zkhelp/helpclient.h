// Opens zkhelp help from an application: hands a "zkhelp:" address to the
// help viewer that runs for the user's session, or starts one. Header-only,
// so that an application needs nothing of zkhelp but this file; it links
// Qt6::DBus.
//
//     #include <zkhelp/helpclient.h>
//     QString error;
//     if (!ZkHelp::showHelp(QStringLiteral("zkhelp:myapp/settings#network"), &error))
//         qWarning() << error;
#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QString>

#include <optional>

namespace ZkHelp {

// Where the running viewer answers on the session bus.
inline const QString viewerBusName = QStringLiteral("org.zkhelp.Viewer");
inline const QString viewerObjectPath = QStringLiteral("/org/zkhelp/Viewer");
inline const QString viewerInterface = QStringLiteral("org.zkhelp.Viewer1");

// The running viewer's answer to Show: the address of what it shows (empty
// when it found no such help file) and whether that is all that was asked.
struct ViewerAnswer
{
    bool exact = false;
    QString shown;
};

// Asks the viewer running for this session to show address, waiting at most
// timeoutMs for its answer; nothing (and why in errorString) when there is
// no session bus, no viewer on it, or it did not answer in time.
inline std::optional<ViewerAnswer>
showInRunningViewer(const QString &address, QString *errorString = nullptr, int timeoutMs = 3000)
{
    const auto fail = [errorString](const QString &reason) -> std::optional<ViewerAnswer> {
        if (errorString)
            *errorString = reason;
        return std::nullopt;
    };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return fail(QStringLiteral("Keine Verbindung zum Sitzungsbus."));
    if (!bus.interface()->isServiceRegistered(viewerBusName))
        return fail(QStringLiteral("Kein Hilfe-Betrachter am Sitzungsbus."));
    QDBusMessage call = QDBusMessage::createMethodCall(viewerBusName, viewerObjectPath,
                                                       viewerInterface, QStringLiteral("Show"));
    call << address;
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    const QList<QVariant> values = reply.arguments();
    if (reply.type() != QDBusMessage::ReplyMessage || values.size() != 2)
        return fail(QStringLiteral("Der Hilfe-Betrachter antwortet nicht: ") +
                    reply.errorMessage());
    return ViewerAnswer{values.at(0).toBool(), values.at(1).toString()};
}

// Shows address in the running viewer, else starts "zkhelp_viewer ADDRESS"
// on its own. False, with the reason in errorString, when the viewer found
// no such help file or could not be started.
inline bool showHelp(const QString &address, QString *errorString = nullptr)
{
    if (const std::optional<ViewerAnswer> answer = showInRunningViewer(address)) {
        if (!answer->shown.isEmpty())
            return true;
        if (errorString)
            *errorString = QStringLiteral("Hilfe nicht gefunden: ") + address;
        return false;
    }
    if (QProcess::startDetached(QStringLiteral("zkhelp_viewer"), {address}))
        return true;
    if (errorString)
        *errorString = QStringLiteral("zkhelp_viewer konnte nicht gestartet werden.");
    return false;
}

} // namespace ZkHelp
