// The files that make a help file open in the viewer from a file manager: the
// desktop entry passes the opened file and names the MIME type that the
// shared-mime-info file declares for "*.zkhelp".
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

class TestDesktopFiles : public QObject
{
    Q_OBJECT

private slots:
    void desktopEntryIsValid();
    void mimeTypeMatchesEntry();
};

namespace {

const QString desktopDir = QStringLiteral(ZKHELP_DESKTOP_DIR);

QString entryValue(const QString &key)
{
    QFile file(desktopDir + QStringLiteral("/zkhelp_viewer.desktop"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QString prefix = key + u'=';
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QString();
}

} // namespace

void TestDesktopFiles::desktopEntryIsValid()
{
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate missing: run scripts/deps.sh");
    QProcess process;
    process.start(validator, {desktopDir + QStringLiteral("/zkhelp_viewer.desktop")});
    QVERIFY(process.waitForFinished(20000));
    QVERIFY2(process.exitCode() == 0 && process.readAll().isEmpty(),
             process.readAllStandardError().constData());
    QCOMPARE(entryValue(QStringLiteral("Exec")), QStringLiteral("zkhelp_viewer %f"));
    QCOMPARE(entryValue(QStringLiteral("Icon")), QStringLiteral("zkhelp_viewer"));
    QVERIFY(QFile::exists(desktopDir + QStringLiteral("/zkhelp_viewer.svg")));
}

void TestDesktopFiles::mimeTypeMatchesEntry()
{
    QFile file(desktopDir + QStringLiteral("/zkhelp.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString type;
    QStringList seen;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"mime-type")
            type = attributes.value(QLatin1String("type")).toString();
        else if (xml.name() == u"sub-class-of")
            seen.append(QStringLiteral("sub-class-of ") +
                        attributes.value(QLatin1String("type")).toString());
        else if (xml.name() == u"glob")
            seen.append(QStringLiteral("glob ") +
                        attributes.value(QLatin1String("pattern")).toString());
        else if (xml.name() == u"comment")
            seen.append(QStringLiteral("comment ") +
                        attributes.value(QLatin1String("xml:lang")).toString());
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(entryValue(QStringLiteral("MimeType")), type + u';');
    seen.sort();
    QCOMPARE(seen, QStringList({"comment ", "comment de", "glob *.zkhelp",
                                "sub-class-of application/xml"}));
}

QTEST_MAIN(TestDesktopFiles)
#include "tst_desktopfiles.moc"
