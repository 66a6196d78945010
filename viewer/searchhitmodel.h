// The hits of a full-text search as list entries: "NAME (LANGUAGE)", with
// ": SECTION" for a hit in a section, the text around the hit as tool tip,
// and where the hit leads in the roles below.
#pragma once

#include "searchindex.h"

#include <QAbstractListModel>
#include <QList>

class SearchHitModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        PathRole = Qt::UserRole,
        LanguageRole,
        // The section's number on its page, -1 for the description.
        SectionRole,
    };

    using QAbstractListModel::QAbstractListModel;

    void setHits(QList<ZkHelp::SearchHit> found);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<ZkHelp::SearchHit> hits;
};
