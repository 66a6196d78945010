// The viewer on the session bus, so that one running viewer takes the
// addresses that applications, the desktop and further viewer starts hand
// over, instead of each opening a window of its own.
#pragma once

#include <QObject>
#include <QString>

class MainWindow;

class ViewerService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.zkhelp.Viewer1")
    // Written out so that callers see the answers' names, not arg_0.
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.zkhelp.Viewer1\">\n"
                "    <method name=\"Show\">\n"
                "      <arg name=\"address\" type=\"s\" direction=\"in\"/>\n"
                "      <arg name=\"exact\" type=\"b\" direction=\"out\"/>\n"
                "      <arg name=\"shown\" type=\"s\" direction=\"out\"/>\n"
                "    </method>\n"
                "    <method name=\"Current\">\n"
                "      <arg name=\"address\" type=\"s\" direction=\"out\"/>\n"
                "    </method>\n"
                "  </interface>\n")

public:
    explicit ViewerService(MainWindow *window);

    // Offers window on the bus under the viewer's name; false when there is
    // no session bus or another viewer holds the name.
    bool registerOnBus();

public slots:
    // Shows address and brings the window to the front; shown is what is on
    // screen, the result whether that is all address asked for.
    bool Show(const QString &address, QString &shown);
    QString Current() const;

private:
    MainWindow *window;
};
