// The Debian package: what it holds, that its programs run from it, and that
// Debian's checkers accept it. It reads the package scripts/package.sh built,
// building it once when missing.
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void holds_data();
    void holds();
    void holdsNothingElse();
    void programsRun_data();
    void programsRun();
    void checkerAccepts_data();
    void checkerAccepts();

private:
    QString package;
    QStringList contents;
    QTemporaryDir extracted;
};

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
};

// Runs program to its end within timeoutMs; a crash or time-out gives -1.
Run run(const QString &program, const QStringList &args, int timeoutMs = 60000)
{
    QProcess process;
    process.start(program, args);
    Run result;
    if (process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
    }
    return result;
}

QString findPackage(const QString &folder)
{
    const QStringList found =
        QDir(folder).entryList({QStringLiteral("zkhelp_*.deb")}, QDir::Files, QDir::Time);
    return found.isEmpty() ? QString() : QDir(folder).filePath(found.first());
}

} // namespace

void TestPackage::initTestCase()
{
    const QString source = QStringLiteral(ZKHELP_SOURCE_DIR);
    package = findPackage(source + QStringLiteral("/build-release"));
    if (package.isEmpty()) {
        const Run built = run(QStringLiteral("bash"),
                              {source + QStringLiteral("/scripts/package.sh")}, 20 * 60 * 1000);
        QCOMPARE(built.exitCode, 0);
        package = QString::fromLocal8Bit(built.out).trimmed();
    }
    QVERIFY2(QFileInfo(package).isFile(), qPrintable(package));

    const Run listing = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), package});
    QCOMPARE(listing.exitCode, 0);
    for (const QByteArray &line : listing.out.split('\n')) {
        if (!line.isEmpty())
            contents.append(QString::fromUtf8(line.mid(line.indexOf(" ./") + 2)));
    }
    QVERIFY(extracted.isValid());
    QCOMPARE(
        run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), package, extracted.path()}).exitCode,
        0);
}

void TestPackage::holds_data()
{
    QTest::addColumn<QString>("path");
    for (const char *path :
         {"/usr/bin/zkhelp_cli", "/usr/bin/zkhconv", "/usr/bin/zkhelp_viewer",
          "/usr/bin/zkhelp_editor", "/usr/share/applications/zkhelp_viewer.desktop",
          "/usr/share/applications/zkhelp_editor.desktop", "/usr/share/mime/packages/zkhelp.xml",
          "/usr/share/icons/hicolor/scalable/apps/zkhelp_viewer.svg",
          "/usr/share/icons/hicolor/scalable/apps/zkhelp_editor.svg",
          "/usr/share/doc/zkhelp/README.md", "/usr/share/doc/zkhelp/copyright",
          "/usr/share/doc/zkhelp/changelog.gz", "/usr/share/mime/packages/zkproject.xml",
          "/usr/share/man/man1/zkhelp_cli.1.gz", "/usr/share/man/man1/zkhconv.1.gz",
          "/usr/share/man/man1/zkhelp_viewer.1.gz", "/usr/share/man/man1/zkhelp_editor.1.gz"})
        QTest::newRow(path) << QString::fromLatin1(path);
}

void TestPackage::holds()
{
    QFETCH(QString, path);
    QVERIFY2(contents.contains(path), qPrintable(contents.join(u'\n')));
}

// Only the install tree goes in: nothing for /usr/local, no build leftovers.
void TestPackage::holdsNothingElse()
{
    for (const QString &path : std::as_const(contents)) {
        QVERIFY2(path.startsWith(u"/usr/") && !path.startsWith(u"/usr/local"), qPrintable(path));
        QVERIFY2(!path.contains(u"build") && !path.contains(u"CMake") && !path.contains(u"test"),
                 qPrintable(path));
    }
}

void TestPackage::programsRun_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("firstLine");

    QTest::newRow("zkhelp_cli --help")
        << "zkhelp_cli" << QStringList{"--help"} << QByteArray("Aufruf: zkhelp_cli");
    QTest::newRow("zkhconv usage") << "zkhconv" << QStringList{} << QByteArray("ZKHCONV");
    for (const char *program : {"zkhelp_cli", "zkhconv", "zkhelp_viewer", "zkhelp_editor"})
        QTest::addRow("%s --version", program)
            << program << QStringList{"--version"}
            << QByteArray(program).append(" " ZKHELP_VERSION "\n");
}

void TestPackage::programsRun()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, firstLine);
    const Run result = run(extracted.filePath(QStringLiteral("usr/bin/") + program), args);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.startsWith(firstLine), result.out.constData());
}

void TestPackage::checkerAccepts_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");

    QTest::newRow("lintian") << "lintian" << QStringList{"--fail-on", "error,warning", package};
    // Debian 12's own start files carry no control-flow protection, so no
    // program linked there can; the other checks must all pass.
    for (const char *program : {"zkhelp_cli", "zkhconv", "zkhelp_viewer", "zkhelp_editor"})
        QTest::addRow("hardening-check %s", program)
            << "hardening-check"
            << QStringList{"--nocfprotection",
                           extracted.filePath(QLatin1String("usr/bin/") + program)};
    for (const QString program : {"zkhelp_viewer", "zkhelp_editor"}) {
        QTest::addRow("appstreamcli %s", qPrintable(program))
            << "appstreamcli"
            << QStringList{"validate", "--no-net",
                           extracted.filePath("usr/share/metainfo/org.example.zkhelp." + program +
                                              ".metainfo.xml")};
        QTest::addRow("desktop-file-validate %s", qPrintable(program))
            << "desktop-file-validate"
            << QStringList{extracted.filePath("usr/share/applications/" + program + ".desktop")};
    }
}

void TestPackage::checkerAccepts()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    const Run result = run(path, args, 10 * 60 * 1000);
    QVERIFY2(result.exitCode == 0, result.out.constData());
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
