// Writing a help site into its folder: every page of every language, the
// fixed files, the optional sitemap, and the list of what the site wrote, so
// that a later run replaces its own files and removes those of topics that
// are gone, and never touches a file it did not write.
#pragma once

#include "sitemodel.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace ZkHelp {

class SiteWriter
{
public:
    // The list of the files a site wrote, in its folder.
    static const QString listName;

    explicit SiteWriter(const QString &outputDir);

    // Why the output folder cannot take a site, empty when it can: it is no
    // folder, it lies in one of setFolders (its pages would join the set),
    // or it holds files but no list of a site.
    QString refusal(const QList<QString> &setFolders) const;

    // Writes the site of model, with a sitemap under baseUrl (ending in '/')
    // when that is given, calling progress(done, total) after each file.
    // A file that could not be written is named in the result and the rest
    // are written all the same; an empty result: all written.
    QStringList write(const SiteModel &model, const QString &baseUrl,
                      const std::function<void(int, int)> &progress = {});

private:
    struct Output
    {
        QString path; // relative to the output folder
        std::function<QByteArray()> bytes;
    };

    QList<Output> outputs(const SiteModel &model, const QString &baseUrl) const;
    QStringList writtenBefore() const;
    bool put(const QString &relative, const QByteArray &bytes, QString &error);
    bool holdsFolder(const QString &folder);
    void removeGone(const QStringList &before, const QStringList &now, QStringList &failures);
    QByteArray listBytes(QStringList paths) const;

    QDir dir;
    QString canonicalRoot;
    QStringList checkedFolders;
};

} // namespace ZkHelp
