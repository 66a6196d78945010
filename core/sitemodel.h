// A help set as its published site shows it: the readable topics under their
// page names, their languages and where their links lead.
#pragma once

#include "helpdata.h"
#include "helpset.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ZkHelp {

// A link of a topic as the site shows it: to the page of topic (an index into
// SiteModel::topics), at the section an address names; topic -1 when it
// leads to no page of the site.
struct SiteLink
{
    QString text;
    int topic = -1;
    QString section;
};

struct SiteTopic
{
    QString name; // as the file lies in the set, folders included, without extension
    QString page; // its page's name in a language folder, without ".html"
    HelpData data;
    QString reference; // its reference language
    QList<SiteLink> links;
};

struct SiteModel
{
    QList<SiteTopic> topics; // by name
    QStringList languages;   // every usable key of the set, sorted
    // What was left out, one message each: unreadable files, unusable
    // language keys, names two topics would share.
    QStringList problems;
};

// Whether key can name a language folder and a lang attribute: ASCII
// letters, digits, '-' and '_', beginning with a letter or a digit.
bool isSiteLanguageKey(const QString &key);

// The anchor of a section on its page: its id, else its 1-based position
// index + 1.
QString siteSectionAnchor(const HelpSection &section, int index);

// '#' and anchor, percent-encoded for an address.
QString siteFragment(const QString &anchor);

// Reads every file of set once. A topic's name is its path relative to the
// first of roots that holds it; a later file of a name already taken is left
// out, as the set check hides it.
SiteModel readSiteModel(const HelpSet &set, const QList<QString> &roots,
                        const QString &preferredReference);

} // namespace ZkHelp
