#include "referencetext.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

ReferenceText::ReferenceText(Shape shape, const QString &labelName, const QString &textName,
                             QWidget *parent)
    : QWidget(parent)
    , label(new QLabel(this))
{
    if (shape == Shape::Line) {
        line = new QLineEdit(this);
        line->setReadOnly(true);
    } else {
        block = new QPlainTextEdit(this);
        block->setReadOnly(true);
    }
    QWidget *text = line ? static_cast<QWidget *>(line) : block;
    label->setObjectName(labelName);
    text->setObjectName(textName);
    auto *layout = new QBoxLayout(
        shape == Shape::Line ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(text);
}

void ReferenceText::showReference(const QString &language, const QString &reference,
                                  const std::optional<QString> &text)
{
    const bool translated = !reference.isEmpty() && language != reference;
    setVisible(translated);
    if (!translated)
        return;
    label->setText(tr("Referenz (%1):").arg(reference));
    const QString shown = text.value_or(tr("Keine Referenz an dieser Stelle."));
    if (line)
        line->setText(shown);
    else
        block->setPlainText(shown);
}
