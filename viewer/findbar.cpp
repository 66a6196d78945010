#include "findbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

FindBar::FindBar(QWidget *parent)
    : QWidget(parent)
    , field(new QLineEdit(this))
    , count(new QLabel(this))
{
    field->setObjectName(QStringLiteral("findLineEdit"));
    field->setPlaceholderText(QStringLiteral("Im Text suchen..."));
    count->setObjectName(QStringLiteral("findCountLabel"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field);
    layout->addWidget(count);
    const auto addButton = [this, layout](const char *name, const QString &toolTip) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(toolTip);
        button->setAutoRaise(true);
        layout->addWidget(button);
        return button;
    };
    QToolButton *previousButton =
        addButton("findPreviousButton", QStringLiteral("Vorheriger Treffer (Umschalt+F3)"));
    previousButton->setArrowType(Qt::UpArrow);
    QToolButton *nextButton = addButton("findNextButton", QStringLiteral("Nächster Treffer (F3)"));
    nextButton->setArrowType(Qt::DownArrow);
    QToolButton *closeButton = addButton("findCloseButton", QStringLiteral("Schließen (Esc)"));
    closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    connect(previousButton, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(nextButton, &QToolButton::clicked, this, &FindBar::findNext);
    connect(closeButton, &QToolButton::clicked, this, &FindBar::dismiss);
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

void FindBar::showFound(int matches)
{
    const bool searched = !field->text().isEmpty();
    count->setText(searched ? QStringLiteral("%1 Treffer").arg(matches) : QString());
    QPalette palette;
    if (searched && matches == 0)
        palette.setColor(QPalette::Base, QColor(255, 190, 190));
    field->setPalette(palette);
}

void FindBar::dismiss()
{
    hide();
    field->setPalette(QPalette());
    count->clear();
    emit closed();
}
