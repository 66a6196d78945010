#include "viewerservice.h"

#include "mainwindow.h"
#include "zkhelp/helpclient.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

ViewerService::ViewerService(MainWindow *window)
    : window(window)
{}

bool ViewerService::registerOnBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The object first: a caller that sees the name must find it there.
    if (!bus.registerObject(ZkHelp::viewerObjectPath, this, QDBusConnection::ExportAllSlots))
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(ZkHelp::viewerBusName,
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return true;
    bus.unregisterObject(ZkHelp::viewerObjectPath);
    return false;
}

bool ViewerService::Show(const QString &address, QString &shown)
{
    const MainWindow::AddressAnswer answer = window->showAddress(address);
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    shown = answer.shown;
    return answer.exact;
}

QString ViewerService::Current() const
{
    return window->currentAddress();
}
