// The editor's right-hand side: a page for each kind of tree node with the
// fields of the node's document, the reference text beside a translation,
// and the buttons that save.
#pragma once

#include "editorsession.h"
#include "helpdata.h"
#include "projecttree.h"

#include <QMap>
#include <QSet>
#include <QStackedWidget>
#include <QString>

#include <memory>

class ReferenceText;

namespace Ui {
class NodePage;
}

class NodePage : public QStackedWidget
{
    Q_OBJECT

public:
    explicit NodePage(QWidget *parent = nullptr);
    ~NodePage() override;

    // Enabled, with the page of node's kind filled from session's document
    // (the empty page for a folder).
    void show(const ProjectTree::NodeRef &node, ZkHelp::EditorSession &session);

    // The page stays in view but disabled: typing there would reach no
    // document. No node is shown afterwards.
    void release();

    // Released, with the empty page in view.
    void clear();

    // The node shown; KindNone once released.
    const ProjectTree::NodeRef &node() const { return shown; }

    // Moves the fields into doc, the shown node's document or a copy of it;
    // false when the page shows none of its fields.
    bool apply(ZkHelp::HelpData &doc) const;

    // The shown node's document with the fields moved into a copy, keyed by
    // its path; empty when the page shows none of them.
    QMap<QString, ZkHelp::HelpData> typed(const ZkHelp::EditorSession &session) const;

signals:
    // A field or the links changed, typed or filled in.
    void edited();
    // One of the pages' save buttons was pressed.
    void saveRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_btnAddLink_clicked();
    void on_btnRemoveLink_clicked();

private:
    void showReferences(ZkHelp::EditorSession &session);
    // Whether the shown section may take id: the one it has, or a valid id
    // no other section of its language holds.
    bool idAccepted(const QString &id) const;
    // Takes the id field back to the shown section's id, saying why, when
    // what was typed there is not accepted.
    void refuseTypedId();

    std::unique_ptr<Ui::NodePage> ui;
    ReferenceText *langReference;
    ReferenceText *sectionReference;
    ProjectTree::NodeRef shown;
    QString shownId;
    QSet<QString> otherIds; // of the shown section's language, its own aside
};
