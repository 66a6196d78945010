// Finding a node of a tree widget by the texts shown along its path.
#pragma once

#include <QString>
#include <QTreeWidget>

namespace TreeNode {

// The node reached from the top level through children whose first-column
// texts are the parts of path ("a/x.zkhelp/de"), or nullptr.
inline QTreeWidgetItem *find(QTreeWidget *tree, const QString &path)
{
    QTreeWidgetItem *item = tree->invisibleRootItem();
    for (const QString &text : path.split(u'/')) {
        int i = 0;
        while (i < item->childCount() && item->child(i)->text(0) != text)
            ++i;
        if (i == item->childCount())
            return nullptr;
        item = item->child(i);
    }
    return item;
}

} // namespace TreeNode
