#include "nodemenu.h"
#include "prompts.h"

#include <QAction>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>

using namespace ProjectTree;

NodeMenu::NodeMenu(ZkHelp::EditorSession &session, QWidget *window)
    : QObject(window)
    , session(session)
    , window(window)
{}

QList<NodeMenu::Entry> NodeMenu::entries(const NodeRef &node) const
{
    QList<Entry> offered;
    QString removal;
    switch (node.kind) {
    case KindFile:
        offered.append({Command::AddLanguage, tr("Sprache hinzufügen...")});
        removal = tr("Aus Projekt entfernen (Löschen)");
        break;
    case KindLanguage:
        offered.append({Command::AddSection, tr("Sektion hinzufügen...")});
        removal = tr("Sprache löschen");
        break;
    case KindSection:
        removal = tr("Sektion löschen");
        break;
    default:
        return offered;
    }
    // Only a translation can be confirmed against its reference.
    if (node.kind != KindFile && node.language != session.referenceLanguage(node.path))
        offered.append({Command::Confirm, tr("Als aktuell markieren")});
    offered.append({Command::Remove, removal});
    return offered;
}

void NodeMenu::popup(const NodeRef &node, const QPoint &pos)
{
    const QList<Entry> offered = entries(node);
    if (offered.isEmpty())
        return;
    QMenu menu(window);
    for (const Entry &entry : offered) {
        // Deleting stands apart where the menu also adds.
        if (entry.command == Command::Remove && node.kind != KindSection)
            menu.addSeparator();
        const Command command = entry.command;
        connect(menu.addAction(entry.text), &QAction::triggered, this,
                [this, command, node] { run(command, node); });
    }
    menu.exec(pos);
}

void NodeMenu::bind(Command command, QAction *action, QWidget *keyScope)
{
    if (keyScope) {
        action->setShortcutContext(Qt::WidgetShortcut);
        keyScope->addAction(action);
    }
    actions.insert(command, action);
    connect(action, &QAction::triggered, this, [this, command] { run(command, current); });
    action->setEnabled(false);
}

void NodeMenu::setNode(const NodeRef &node)
{
    current = node;
    const QList<Entry> offered = entries(node);
    for (auto it = actions.cbegin(); it != actions.cend(); ++it) {
        it.value()->setEnabled(std::any_of(offered.cbegin(), offered.cend(),
                                           [&](const Entry &e) { return e.command == it.key(); }));
    }
}

void NodeMenu::run(Command command, const NodeRef &node)
{
    switch (command) {
    case Command::AddLanguage:
        return addLanguage(node.path);
    case Command::AddSection:
        return addSection(node.path, node.language);
    case Command::Confirm:
        return confirm(node);
    case Command::Remove:
        return remove(node);
    }
}

void NodeMenu::addLanguage(const QString &path)
{
    emit aboutToEdit();
    bool ok = false;
    const QString key = QInputDialog::getText(window, tr("Neu"), tr("Sprache (de, en):"),
                                              QLineEdit::Normal, QString(), &ok);
    const ZkHelp::HelpData *doc = session.document(path);
    if (!ok || key.isEmpty() || !doc)
        return;
    if (doc->languages.contains(key)) {
        Prompts::box(window, QMessageBox::Warning, tr("Neu"),
                     tr("Sprache '%1' existiert bereits.").arg(key), QMessageBox::Ok);
        return;
    }
    edit(path, session.withLanguageAdded(path, key), {KindLanguage, path, key, 0},
         tr("Sprache hinzugefügt: %1").arg(key));
}

void NodeMenu::addSection(const QString &path, const QString &key)
{
    emit aboutToEdit();
    bool ok = false;
    const QString name = QInputDialog::getText(window, tr("Neu"), tr("Sektion Name:"),
                                               QLineEdit::Normal, QString(), &ok);
    const ZkHelp::HelpLanguage *lang = session.language(path, key);
    if (ok && !name.isEmpty() && lang)
        edit(path, session.withSectionAdded(path, key, name),
             {KindSection, path, key, int(lang->sections.size())},
             tr("Sektion hinzugefügt: %1").arg(name));
}

void NodeMenu::confirm(const NodeRef &node)
{
    emit aboutToEdit();
    const ZkHelp::HelpSection *section = session.section(node.path, node.language, node.section);
    const bool one = node.kind == KindSection;
    edit(node.path,
         session.withSectionsConfirmed(node.path, node.language, one ? node.section : -1), node,
         tr("Als aktuell markiert: %1").arg(one && section ? section->name : node.language));
}

void NodeMenu::remove(const NodeRef &node)
{
    const QString question =
        node.kind == KindFile
            ? tr("Datei wirklich löschen?\n(Sie wird von der Festplatte entfernt!)")
        : node.kind == KindLanguage ? tr("Sprache '%1' löschen?").arg(node.language)
                                    : tr("Sektion löschen?");
    emit aboutToEdit();
    const ZkHelp::HelpSection *section = session.section(node.path, node.language, node.section);
    const QString name = section ? section->name : QString();
    const QString file = QFileInfo(node.path).fileName();
    const QString what = node.kind == KindFile ? file
                         : node.kind == KindLanguage
                             ? tr("%1, Sprache %2").arg(file, node.language)
                             : tr("%1, Sprache %2, Sektion %3").arg(file, node.language, name);
    if (Prompts::box(window, QMessageBox::Question, tr("Löschen"), question,
                     QMessageBox::Yes | QMessageBox::No, what, QMessageBox::No) != QMessageBox::Yes)
        return;
    if (node.kind == KindFile)
        emit fileRemovalConfirmed(node.path);
    else if (node.kind == KindLanguage)
        edit(node.path, session.withLanguageRemoved(node.path, node.language),
             {KindFile, node.path, {}, 0}, tr("Sprache gelöscht: %1").arg(node.language));
    else
        edit(node.path, session.withSectionRemoved(node.path, node.language, node.section),
             {KindLanguage, node.path, node.language, 0}, tr("Sektion gelöscht: %1").arg(name));
}

// An edit that does not apply changes nothing.
void NodeMenu::edit(const QString &path, const std::optional<ZkHelp::HelpData> &changed,
                    const NodeRef &place, const QString &message)
{
    if (changed)
        emit structureEdited(path, {*changed, place, message});
}
