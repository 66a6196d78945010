#include "findbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>

FindBar::FindBar(QWidget *parent)
    : QWidget(parent)
    , field(new QLineEdit(this))
{
    field->setObjectName(QStringLiteral("findLineEdit"));
    field->setPlaceholderText(QStringLiteral("Im Text suchen..."));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field);
    connect(field, &QLineEdit::textEdited, this, &FindBar::find);
    connect(field, &QLineEdit::returnPressed, this, [this] { emit next(field->text()); });

    auto *close = new QAction(this);
    close->setShortcut(Qt::Key_Escape);
    close->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(close);
    connect(close, &QAction::triggered, this, &FindBar::dismiss);
}

void FindBar::open()
{
    show();
    field->setFocus();
    field->selectAll();
}

void FindBar::findNext()
{
    if (isHidden())
        return open();
    emit next(field->text());
}

void FindBar::findPrevious()
{
    if (isHidden())
        return open();
    emit previous(field->text());
}

void FindBar::showFound(bool found)
{
    QPalette palette;
    if (!field->text().isEmpty() && !found)
        palette.setColor(QPalette::Base, QColor(255, 190, 190));
    field->setPalette(palette);
}

void FindBar::dismiss()
{
    hide();
    field->setPalette(QPalette());
    emit closed();
}
