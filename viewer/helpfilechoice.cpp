#include "helpfilechoice.h"

#include "helpaddress.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

bool isHelpFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString linkedHelpFile(const ZkHelp::HelpCollection &collection, const QString &link)
{
    const QString name = ZkHelp::linkedHelpName(link);
    const QString path = name.isEmpty() ? QString() : collection.findFile(name);
    return isHelpFile(path) ? path : QString();
}

QString resolveStartFile(const ZkHelp::HelpCollection &collection, const QString &startFile)
{
    if (ZkHelp::HelpAddress::isAddress(startFile))
        return linkedHelpFile(collection, startFile);
    const QString candidates[] = {collection.findFile(startFile), startFile,
                                  startFile + ZkHelp::helpFileExtension};
    for (const QString &candidate : candidates) {
        if (isHelpFile(candidate))
            return candidate;
    }
    return QString();
}

AddressedPlace addressedPlace(const ZkHelp::HelpCollection &collection, const QString &path,
                              const QString &link, const QStringList &interfaceLanguages)
{
    const std::optional<ZkHelp::HelpAddress> address = ZkHelp::HelpAddress::parse(link);
    if (!address)
        return {};
    const ZkHelp::HelpData data = collection.fileData(path);
    AddressedPlace place;
    place.language = ZkHelp::addressedLanguage(data, address->language, interfaceLanguages);
    QStringList missing;
    if (!address->language.isEmpty() && !data.languages.contains(address->language))
        missing.append(QStringLiteral("Sprache nicht vorhanden: ") + address->language);
    if (!address->section.isEmpty()) {
        place.section =
            ZkHelp::addressedSection(data.languages.value(place.language), address->section);
        if (place.section < 0)
            missing.append(QStringLiteral("Abschnitt nicht gefunden: ") + address->section);
    }
    place.missing = missing.join(QStringLiteral("; "));
    return place;
}

QString askForHelpFile(QWidget *parent, const QList<QString> &searchPaths)
{
    QFileDialog dialog(parent, QString(), QString(), QString());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("ZK Help Files (*.zkhelp)"));
    dialog.setWindowTitle(QStringLiteral("Hilfe-Datei öffnen"));

    QList<QUrl> places = dialog.sidebarUrls();
    for (const QString &folder : searchPaths)
        places.prepend(QUrl::fromLocalFile(folder));
    dialog.setSidebarUrls(places);
    if (!searchPaths.isEmpty())
        dialog.setDirectory(searchPaths.first());

    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
