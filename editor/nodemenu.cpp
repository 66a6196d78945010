#include "nodemenu.h"
#include "prompts.h"

#include <QInputDialog>
#include <QMenu>

using namespace ProjectTree;

NodeMenu::NodeMenu(ZkHelp::EditorSession &session, QWidget *window)
    : QObject(window)
    , session(session)
    , window(window)
{}

void NodeMenu::popup(const NodeRef &node, const QPoint &pos)
{
    QMenu menu(window);
    const auto addEntry = [&](const QString &text, auto run) {
        connect(menu.addAction(text), &QAction::triggered, this, run);
    };
    // Only a translation can be confirmed against its reference.
    const bool translated = node.language != session.referenceLanguage(node.path);
    switch (node.kind) {
    case KindFile:
        addEntry(tr("Sprache hinzufügen..."), [=] { addLanguage(node.path); });
        menu.addSeparator();
        addEntry(tr("Aus Projekt entfernen (Löschen)"), [=] { remove(node); });
        break;
    case KindLanguage:
        addEntry(tr("Sektion hinzufügen..."), [=] { addSection(node.path, node.language); });
        if (translated)
            addEntry(tr("Als aktuell markieren"), [=] { confirm(node); });
        menu.addSeparator();
        addEntry(tr("Sprache löschen"), [=] { remove(node); });
        break;
    case KindSection:
        if (translated)
            addEntry(tr("Als aktuell markieren"), [=] { confirm(node); });
        addEntry(tr("Sektion löschen"), [=] { remove(node); });
        break;
    default:
        return;
    }
    menu.exec(pos);
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
    edit(path, session.withLanguageAdded(path, key));
}

void NodeMenu::addSection(const QString &path, const QString &key)
{
    emit aboutToEdit();
    bool ok = false;
    const QString name = QInputDialog::getText(window, tr("Neu"), tr("Sektion Name:"),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok && !name.isEmpty())
        edit(path, session.withSectionAdded(path, key, name));
}

void NodeMenu::confirm(const NodeRef &node)
{
    emit aboutToEdit();
    edit(node.path, session.withSectionsConfirmed(node.path, node.language,
                                                  node.kind == KindSection ? node.section : -1));
}

void NodeMenu::remove(const NodeRef &node)
{
    const QString question =
        node.kind == KindFile
            ? tr("Datei wirklich löschen?\n(Sie wird von der Festplatte entfernt!)")
        : node.kind == KindLanguage ? tr("Sprache '%1' löschen?").arg(node.language)
                                    : tr("Sektion löschen?");
    emit aboutToEdit();
    if (Prompts::box(window, QMessageBox::Question, tr("Löschen"), question,
                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (node.kind == KindFile)
        emit fileRemovalConfirmed(node.path);
    else if (node.kind == KindLanguage)
        edit(node.path, session.withLanguageRemoved(node.path, node.language));
    else
        edit(node.path, session.withSectionRemoved(node.path, node.language, node.section));
}

// An edit that does not apply changes nothing.
void NodeMenu::edit(const QString &path, const std::optional<ZkHelp::HelpData> &changed)
{
    if (changed)
        emit structureEdited(path, *changed);
}
