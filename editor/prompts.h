// The boxes the editor asks its questions in. A text that carries a name the
// user typed is shown as typed, never as markup.
#pragma once

#include "diskwatch.h"
#include "recoverycontroller.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

class QWidget;

class Prompts
{
    Q_DECLARE_TR_FUNCTIONS(Prompts)

public:
    // detail, when given, stands below text: the system's word on a
    // failure, or what a question is about.
    static QMessageBox::StandardButton
    box(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons, const QString &detail = QString(),
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Whether to save the unsaved edits of files (named as the user knows
    // them) first: Save, Discard or Cancel.
    static QMessageBox::StandardButton unsaved(QWidget *parent, const QStringList &files);

    // Whether to write the editor's version of path over another program's.
    static ZkHelp::DiskWatch::Answer diskVersion(QWidget *parent, const QString &path);

    // Whether to take back the edits of an earlier session.
    static bool recovery(QWidget *parent, const ZkHelp::RecoveryController::Offer &offer);
};
