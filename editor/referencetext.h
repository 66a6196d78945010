// The reference language's text at the place a translation is edited, shown
// read-only beside the translation's fields, so that a translator works from
// it without leaving the node.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

class ReferenceText : public QWidget
{
    Q_OBJECT

public:
    // A line beside its label (a language's description), or a block below
    // it (a section's name and text).
    enum class Shape { Line, Block };

    // labelName and textName are the object names of the label and the text.
    ReferenceText(Shape shape, const QString &labelName, const QString &textName,
                  QWidget *parent = nullptr);

    // Shown only when language is a translation of reference (none when
    // empty): text, or word that the reference has nothing at that place.
    void showReference(const QString &language, const QString &reference,
                       const std::optional<QString> &text);

private:
    QLabel *label;
    QLineEdit *line = nullptr;
    QPlainTextEdit *block = nullptr;
};
