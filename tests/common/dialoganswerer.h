// Answers the modal dialogs and popup menus a GUI test or tool raises, so that
// none of them can hang it.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// While it lives, answers the dialogs and menus that open, in order, and
// records what each showed. Answers: "Save", "Yes", "Ok"... press that
// button; "type:TEXT" fills an input dialog; "choose:PATH" types PATH
// (relative to root, or absolute) into a file dialog's name field as a user
// would and accepts; "pick:ENTRY" chooses a menu entry; the text of a
// message box's own button presses that; anything else ("reject") rejects.
// A dialog nobody expected, or one still open 5 s after its answer, is
// recorded as "unanswered" and closed. It looks every pollMilliseconds; 0
// answers at once, for timing what a dialog starts.
class DialogAnswerer : public QObject
{
public:
    explicit DialogAnswerer(const QStringList &answers = {}, const QString &root = QString(),
                            int pollMilliseconds = 10)
        : pending(answers)
        , root(root)
    {
        connect(&timer, &QTimer::timeout, this, &DialogAnswerer::poll);
        timer.start(pollMilliseconds);
    }

    QStringList pending;
    QStringList seen;
    // For each message box seen: its informative text, then the default
    // button in brackets when it has one ("x.zkhelp [No]").
    QStringList details;
    // Sees each file dialog before it is answered; one it closes itself is
    // left as it is.
    std::function<void(QFileDialog *)> inspectFileDialog;

private:
    void poll()
    {
        QWidget *w = QApplication::activePopupWidget();
        w = w ? w : QApplication::activeModalWidget();
        if (!w || !w->isVisible() || (w == last && since.elapsed() < 5000))
            return;
        const QString answer = w == last || pending.isEmpty() ? QString() : pending.takeFirst();
        seen.append((answer.isEmpty() ? "unanswered " : "") + describe(w));
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            const auto button = box->standardButton(box->defaultButton());
            const char *name =
                QMetaEnum::fromType<QMessageBox::StandardButtons>().valueToKey(button);
            details.append(box->informativeText() +
                           (button ? QStringLiteral(" [%1]").arg(name) : QString()));
        }
        last = w;
        since.start();
        // Deferred, so that the dialogs of a chosen menu entry find this timer free.
        QTimer::singleShot(0, w, [this, w, answer] { respond(w, answer); });
    }

    // "TITLE: TEXT" of a message box ("rich " before it when shown as markup),
    // "TITLE: LABEL [VALUE]" of an input, "TITLE in FOLDER" of a file dialog
    // (root as "$D", home as "~"; a folder chooser shows no folder, as it
    // starts wherever the last dialog was left), "menu: A | - | B" of a menu.
    QString describe(QWidget *w) const
    {
        if (auto *box = qobject_cast<QMessageBox *>(w))
            return (box->textFormat() == Qt::PlainText || !box->text().contains('<') ? ""
                                                                                     : "rich ") +
                   box->windowTitle() + ": " + box->text();
        if (auto *input = qobject_cast<QInputDialog *>(w))
            return input->windowTitle() + ": " + input->labelText() + " [" + input->textValue() +
                   "]";
        if (auto *files = qobject_cast<QFileDialog *>(w)) {
            QString folder = files->directory().absolutePath();
            if (!root.isEmpty())
                folder.replace(root, "$D");
            return files->windowTitle() + (files->fileMode() == QFileDialog::Directory
                                               ? QString()
                                               : " in " + folder.replace(QDir::homePath(), "~"));
        }
        QStringList entries;
        for (const QAction *action : w->actions())
            entries.append(action->isSeparator() ? "-" : action->text());
        return "menu: " + entries.join(" | ");
    }

    void respond(QWidget *w, const QString &answer)
    {
        const QString value = answer.section(':', 1);
        const auto buttons = QMetaEnum::fromType<QMessageBox::StandardButtons>();
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            for (QAbstractButton *button : box->buttons())
                if (box->standardButton(button) == buttons.keyToValue(qPrintable(answer)) ||
                    button->text() == answer)
                    return button->click();
        } else if (auto *input = qobject_cast<QInputDialog *>(w); input && !value.isEmpty()) {
            input->setTextValue(value);
            return input->accept();
        } else if (auto *files = qobject_cast<QFileDialog *>(w)) {
            if (inspectFileDialog)
                inspectFileDialog(files);
            if (!files->isVisible())
                return;
            // Typed, because selectFile() leaves a focused name field alone:
            // the dialog would then stay open with nothing chosen.
            if (!value.isEmpty()) {
                files->findChild<QLineEdit *>("fileNameEdit")->setText(QDir(root).filePath(value));
                return static_cast<QDialog *>(files)->accept();
            }
        } else if (auto *menu = qobject_cast<QMenu *>(w)) {
            for (QAction *action : menu->actions())
                if (!value.isEmpty() && action->text() == value)
                    return menu->setActiveAction(action), QTest::keyClick(menu, Qt::Key_Return);
        }
        if (auto *dialog = qobject_cast<QDialog *>(w))
            return dialog->reject();
        w->close();
    }

    QTimer timer;
    QString root;
    QPointer<QWidget> last;
    QElapsedTimer since;
};
