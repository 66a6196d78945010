#include "sitecommand.h"

#include "sitemodel.h"
#include "sitewriter.h"

#include <QUrl>

#include <unistd.h>

namespace {

// An absolute web address, which the sitemap puts before every page.
std::optional<QString> baseUrl(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") ||
        url.host().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    const QString written = url.toString(QUrl::FullyEncoded);
    return written.endsWith(u'/') ? written : written + u'/';
}

} // namespace

std::optional<SiteArguments> siteArguments(const QList<QString> &args)
{
    QTextStream err(stderr);
    if (args.isEmpty() || args.first().isEmpty() || args.first().startsWith(u'-')) {
        err << "Bitte einen Ausgabeordner angeben: -site AUSGABEORDNER [ORDNER]\n";
        return std::nullopt;
    }
    SiteArguments site{args.first(), QString(), {}};
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) != u"--base-url") {
            site.setArguments.append(args.at(i));
            continue;
        }
        const std::optional<QString> url =
            i + 1 < args.size() && site.baseUrl.isEmpty() ? baseUrl(args.at(i + 1)) : std::nullopt;
        if (!url) {
            err << "Ungueltige Basisadresse fuer -site: "
                << (i + 1 < args.size() ? args.at(i + 1) : QString()) << '\n';
            return std::nullopt;
        }
        site.baseUrl = *url;
        ++i;
    }
    return site;
}

int writeSite(const SiteArguments &site, const ZkHelp::HelpSet &set, const QList<QString> &roots,
              const QString &reference, QTextStream &out)
{
    QTextStream err(stderr);
    ZkHelp::SiteWriter writer(site.outputDir);
    if (const QString refusal = writer.refusal(roots); !refusal.isEmpty()) {
        err << refusal << '\n';
        return 2;
    }
    const ZkHelp::SiteModel model = ZkHelp::readSiteModel(set, roots, reference);
    const bool terminal = ::isatty(STDERR_FILENO);
    const QStringList failures =
        writer.write(model, site.baseUrl, [&err, terminal](int done, int total) {
            if (terminal && (done % 100 == 0 || done == total)) {
                err << "\rSeiten: " << done << '/' << total << (done == total ? "\n" : "");
                err.flush();
            }
        });
    for (const QString &message : model.problems + failures)
        err << message << '\n';
    out << model.topics.size() << " Themen in " << model.languages.size() << " Sprachen nach "
        << site.outputDir << " geschrieben\n";
    return model.problems.isEmpty() && failures.isEmpty() ? 0 : 1;
}
