#include "searchhitmodel.h"

#include <QFileInfo>

void SearchHitModel::setHits(QList<ZkHelp::SearchHit> found)
{
    beginResetModel();
    hits = std::move(found);
    endResetModel();
}

int SearchHitModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(hits.size());
}

QVariant SearchHitModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const ZkHelp::SearchHit &hit = hits.at(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        QString text =
            QFileInfo(hit.path).completeBaseName() + QStringLiteral(" (") + hit.language + u')';
        if (hit.sectionIndex >= 0)
            text += QStringLiteral(": ") + hit.section;
        return text;
    }
    case Qt::ToolTipRole:
        return hit.snippet;
    case PathRole:
        return hit.path;
    case LanguageRole:
        return hit.language;
    case SectionRole:
        return hit.sectionIndex;
    default:
        return QVariant();
    }
}
