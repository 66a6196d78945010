#include "nodepage.h"
#include "prompts.h"
#include "referencetext.h"
#include "sectionids.h"
#include "ui_nodepage.h"

#include <QKeyEvent>

using ZkHelp::HelpData;
using ZkHelp::HelpLanguage;
using ZkHelp::HelpSection;
using namespace ProjectTree;

NodePage::NodePage(QWidget *parent)
    : QStackedWidget(parent)
    , ui(std::make_unique<Ui::NodePage>())
{
    ui->setupUi(this);
    langReference =
        new ReferenceText(ReferenceText::Shape::Line, QStringLiteral("lblLangReference"),
                          QStringLiteral("referenceDescription"), ui->pageLanguage);
    ui->fl_lang->addRow(langReference);
    sectionReference =
        new ReferenceText(ReferenceText::Shape::Block, QStringLiteral("lblSectionReference"),
                          QStringLiteral("referenceContent"), ui->pageSection);
    ui->vl2->insertWidget(ui->vl2->indexOf(ui->btnSaveSection), sectionReference);

    for (QPushButton *button : {ui->btnSaveFile, ui->btnSaveLang, ui->btnSaveSection})
        connect(button, &QPushButton::clicked, this, &NodePage::saveRequested);
    for (QLineEdit *edit :
         {ui->editAuthor, ui->editVersion, ui->editLangDescription, ui->editSectionName})
        connect(edit, &QLineEdit::textChanged, this, &NodePage::edited);
    connect(ui->editSectionId, &QLineEdit::textChanged, this, &NodePage::edited);
    connect(ui->editSectionId, &QLineEdit::editingFinished, this, &NodePage::refuseTypedId);
    connect(ui->editContent, &QPlainTextEdit::textChanged, this, &NodePage::edited);
    connect(ui->listLinks->model(), &QAbstractItemModel::rowsInserted, this, &NodePage::edited);
    connect(ui->listLinks->model(), &QAbstractItemModel::rowsRemoved, this, &NodePage::edited);
    // Tab walks the page from field to field, the section text included;
    // Ctrl+Tab too, as it does out of a text field in most programs.
    for (QPlainTextEdit *text : findChildren<QPlainTextEdit *>()) {
        text->setTabChangesFocus(true);
        text->installEventFilter(this);
    }
}

bool NodePage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QStackedWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (!(key->modifiers() & Qt::ControlModifier) ||
        (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab))
        return QStackedWidget::eventFilter(watched, event);
    QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ControlModifier);
    QCoreApplication::sendEvent(watched, &plain);
    return true;
}

NodePage::~NodePage() = default;

void NodePage::show(const NodeRef &node, ZkHelp::EditorSession &session)
{
    shown = node;
    setEnabled(true);
    switch (node.kind) {
    case KindFile:
        setCurrentWidget(ui->pageFile);
        if (const HelpData *doc = session.document(node.path)) {
            ui->editAuthor->setText(doc->author);
            ui->editVersion->setText(doc->version);
            ui->listLinks->clear();
            ui->listLinks->addItems(doc->links);
        }
        break;
    case KindLanguage:
        setCurrentWidget(ui->pageLanguage);
        if (const HelpLanguage *lang = session.language(node.path, node.language))
            ui->editLangDescription->setText(lang->description);
        showReferences(session);
        break;
    case KindSection:
        setCurrentWidget(ui->pageSection);
        if (const HelpSection *section = session.section(node.path, node.language, node.section)) {
            QList<HelpSection> others = session.language(node.path, node.language)->sections;
            others.removeAt(node.section);
            otherIds.clear();
            for (const HelpSection &other : std::as_const(others))
                otherIds.insert(other.id);
            shownId = section->id;
            ui->editSectionId->setText(shownId);
            ui->editSectionName->setText(section->name);
            ui->editContent->setPlainText(section->content);
        }
        showReferences(session);
        break;
    default:
        setCurrentWidget(ui->pageEmpty);
    }
}

// The reference language's text at the shown node's place, beside a
// translated language's fields.
void NodePage::showReferences(ZkHelp::EditorSession &session)
{
    const QString reference = session.referenceLanguage(shown.path);
    const HelpLanguage *lang = session.language(shown.path, reference);
    langReference->showReference(shown.language, reference,
                                 lang ? std::optional(lang->description) : std::nullopt);
    const int index = shown.kind == KindSection ? shown.section : -1;
    const HelpSection *section = session.section(shown.path, reference, index);
    sectionReference->showReference(
        shown.language, reference,
        section ? std::optional(section->name + QStringLiteral("\n\n") + section->content)
                : std::nullopt);
}

void NodePage::release()
{
    shown = NodeRef();
    setEnabled(false);
}

void NodePage::clear()
{
    release();
    setCurrentWidget(ui->pageEmpty);
}

bool NodePage::apply(HelpData &doc) const
{
    if (shown.kind == KindFile) {
        doc.author = ui->editAuthor->text();
        doc.version = ui->editVersion->text();
        doc.links.clear();
        for (int row = 0; row < ui->listLinks->count(); ++row)
            doc.links.append(ui->listLinks->item(row)->text());
        return true;
    }
    const auto lang = doc.languages.find(shown.language);
    if (lang == doc.languages.end())
        return false;
    if (shown.kind == KindLanguage) {
        lang->description = ui->editLangDescription->text();
        return true;
    }
    const int index = shown.section;
    if (shown.kind != KindSection || index < 0 || index >= lang->sections.size())
        return false;
    lang->sections[index].name = ui->editSectionName->text();
    // A refused id may still stand in the field when saving bypassed the
    // field's own check (a shortcut, with the focus still there).
    const QString id = ui->editSectionId->text();
    lang->sections[index].id = idAccepted(id) ? id : shownId;
    lang->sections[index].content = ui->editContent->toPlainText();
    return true;
}

QMap<QString, HelpData> NodePage::typed(const ZkHelp::EditorSession &session) const
{
    const HelpData *doc = session.document(shown.path);
    HelpData copy = doc ? *doc : HelpData();
    if (!doc || !apply(copy))
        return {};
    return {{shown.path, copy}};
}

bool NodePage::idAccepted(const QString &id) const
{
    return id == shownId || (ZkHelp::isValidSectionId(id) && !otherIds.contains(id));
}

void NodePage::refuseTypedId()
{
    const QString typedId = ui->editSectionId->text();
    if (shown.kind != KindSection || idAccepted(typedId))
        return;
    // Back first: the box takes the focus, which would finish the edit again.
    ui->editSectionId->setText(shownId);
    const bool valid = ZkHelp::isValidSectionId(typedId);
    Prompts::box(
        this, QMessageBox::Warning, valid ? tr("Kennung schon vergeben") : tr("Ungültige Kennung"),
        valid
            ? tr("Die Kennung '%1' trägt schon ein anderer Abschnitt dieser Sprache.").arg(typedId)
            : tr("'%1' taugt nicht als Kennung: 1 bis 64 Buchstaben, Ziffern, '.', "
                 "'_' und '-' (ASCII), am Anfang ein Buchstabe oder eine Ziffer.")
                  .arg(typedId),
        QMessageBox::Ok);
}

void NodePage::on_btnAddLink_clicked()
{
    if (shown.kind != KindFile)
        return;
    const QString link = ui->editNewLink->text().trimmed();
    if (link.isEmpty())
        return;
    ui->listLinks->addItem(link);
    ui->editNewLink->clear();
}

void NodePage::on_btnRemoveLink_clicked()
{
    qDeleteAll(ui->listLinks->selectedItems());
}
