// One running viewer on a private session bus (the test runs inside
// dbus-run-session): Show and Current as a caller sees them, and a second
// start with an address handing it over instead of opening a window.
#include "helpxml.h"
#include "processrun.h"
#include "testfiles.h"
#include "zkhelp/helpclient.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QTest>

class TestViewerBus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void show_data();
    void show();
    void secondStartHandsOver();
    void startAfterViewerDied();

private:
    void startViewer(const QStringList &args);
    QString current() const;

    QTemporaryDir work;
    QProcess viewer;
};

namespace {

const QString viewerProgram = QStringLiteral(ZKHELP_VIEWER_PATH);

QProcessEnvironment viewerEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Without a language of the address, the British reader gets English.
    environment.insert(QStringLiteral("LANG"), QStringLiteral("en_GB.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.remove(QStringLiteral("LC_ALL"));
    return environment;
}

bool viewerOnBus()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(ZkHelp::viewerBusName);
}

} // namespace

void TestViewerBus::initTestCase()
{
    if (!QDBusConnection::sessionBus().isConnected())
        QSKIP("no session bus: run inside dbus-run-session");
    QVERIFY(TestFiles::write(work.filePath("Path"), work.filePath("help").toUtf8() + '\n'));
    const QByteArray net = HelpXml::section("Netz", "x", {}, "net");
    QVERIFY(TestFiles::write(
        work.filePath("help/intro.zkhelp"),
        HelpXml::file(HelpXml::language("de", "D", net + HelpXml::section("Zwei", "y")) +
                      HelpXml::language("en", "E", HelpXml::section("Net", "x", {}, "net")))));
    QVERIFY(TestFiles::write(work.filePath("help/sub/deep.zkhelp"),
                             HelpXml::file(HelpXml::language("de", "D", net))));
    startViewer({});
}

void TestViewerBus::cleanupTestCase()
{
    viewer.kill();
    viewer.waitForFinished();
}

void TestViewerBus::startViewer(const QStringList &args)
{
    viewer.setWorkingDirectory(work.path());
    viewer.setProcessEnvironment(viewerEnvironment());
    viewer.start(viewerProgram, args);
    QVERIFY(viewer.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(viewerOnBus(), 10000);
}

QString TestViewerBus::current() const
{
    const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        ZkHelp::viewerBusName, ZkHelp::viewerObjectPath, ZkHelp::viewerInterface, "Current"));
    return reply.arguments().value(0).toString();
}

void TestViewerBus::show_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("current"); // "@": the same as shown

    QTest::newRow("section by id") << "zkhelp:intro?lang=de#net" << true << "@"
                                   << "@";
    QTest::newRow("section by position") << "zkhelp:intro?lang=de#2" << true << "@"
                                         << "@";
    QTest::newRow("reader's language") << "zkhelp:intro#net" << true << "zkhelp:intro?lang=en#net"
                                       << "@";
    QTest::newRow("missing language and section")
        << "zkhelp:intro?lang=fr#9" << false << "zkhelp:intro?lang=en"
        << "@";
    QTest::newRow("name with a folder")
        << "zkhelp:sub/deep#1" << true << "zkhelp:sub/deep?lang=de#1"
        << "@";
    QTest::newRow("unknown name keeps the page") << "zkhelp:nowhere" << false << ""
                                                 << "zkhelp:sub/deep?lang=de#1";
    QTest::newRow("leaving the folders") << "zkhelp:../help/intro" << false << ""
                                         << "zkhelp:sub/deep?lang=de#1";
}

void TestViewerBus::show()
{
    QFETCH(QString, address);
    QFETCH(bool, exact);
    QFETCH(QString, shown);
    QFETCH(QString, current);

    const std::optional<ZkHelp::ViewerAnswer> answer = ZkHelp::showInRunningViewer(address);
    QVERIFY(answer);
    QCOMPARE(answer->exact, exact);
    QCOMPARE(answer->shown, shown == u"@" ? address : shown);
    QCOMPARE(this->current(), current == u"@" ? answer->shown : current);
}

void TestViewerBus::secondStartHandsOver()
{
    const QString address = QStringLiteral("zkhelp:intro?lang=de#net");
    const ProcessRun second =
        ProcessRun::run(viewerProgram, {address}, work.path(), {}, viewerEnvironment());
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(current(), address);
}

// The bus lets go of a killed viewer's name; the next start takes it.
void TestViewerBus::startAfterViewerDied()
{
    viewer.kill();
    viewer.waitForFinished();
    QTRY_VERIFY_WITH_TIMEOUT(!viewerOnBus(), 10000);
    startViewer({QStringLiteral("zkhelp:intro#2")});
    QCOMPARE(current(), QStringLiteral("zkhelp:intro?lang=en"));
}

QTEST_GUILESS_MAIN(TestViewerBus)
#include "tst_viewerbus.moc"
