#include "prompts.h"

#include <QFileInfo>

QMessageBox::StandardButton Prompts::box(QWidget *parent, QMessageBox::Icon icon,
                                         const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons,
                                         const QString &detail,
                                         QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(detail);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton Prompts::unsaved(QWidget *parent, const QStringList &files)
{
    return box(parent, QMessageBox::Question, tr("Ungespeicherte Änderungen"),
               tr("Es gibt ungespeicherte Änderungen. Jetzt speichern?"),
               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, files.join(u'\n'),
               QMessageBox::Save);
}

ZkHelp::DiskWatch::Answer Prompts::diskVersion(QWidget *parent, const QString &path)
{
    QMessageBox box(QMessageBox::Warning, tr("Datei geändert"),
                    tr("\"%1\" wurde außerhalb des Editors geändert. Die eigene Fassung speichern "
                       "und die andere überschreiben?")
                        .arg(QFileInfo(path).fileName()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Cancel);
    const int answer = box.exec();
    using Answer = ZkHelp::DiskWatch::Answer;
    return answer == QMessageBox::Save      ? Answer::Save
           : answer == QMessageBox::Discard ? Answer::Discard
                                            : Answer::Cancel;
}

bool Prompts::recovery(QWidget *parent, const ZkHelp::RecoveryController::Offer &offer)
{
    return box(parent, offer.restorable ? QMessageBox::Question : QMessageBox::Information,
               tr("Wiederherstellen"),
               offer.restorable ? tr("Es gibt ungesicherte Änderungen aus einer früheren "
                                     "Sitzung. Wiederherstellen?")
                                : tr("Ungesicherte Änderungen aus einer früheren Sitzung sind "
                                     "beschädigt und werden nicht wiederhergestellt."),
               offer.restorable ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
               offer.lines.join(u'\n')) == QMessageBox::Yes;
}
