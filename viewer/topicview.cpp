#include "topicview.h"

#include "helplinks.h"
#include "savefile.h"
#include "screenpage.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>
#include <QWheelEvent>

namespace {

constexpr int minZoomSteps = -8;
constexpr int maxZoomSteps = 20;

} // namespace

TopicView::TopicView(QWidget *parent)
    : QTextBrowser(parent)
{
    // Every link, web and mail links included, must reach followLink instead
    // of being opened by the browser.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &TopicView::followLink);
}

void TopicView::showTopic(ScreenTopic shown, const QString &language)
{
    topic = std::move(shown);
    showLanguage(language);
}

void TopicView::showLanguage(const QString &language)
{
    setExtraSelections({});
    const auto found = topic.data.languages.constFind(language);
    if (language.isEmpty() || found == topic.data.languages.constEnd()) {
        setText(QStringLiteral("<h3>Bitte wählen Sie eine Datei und Sprache aus.</h3>"));
        return;
    }
    setHtml(renderScreenPage(topic, *found));
}

void TopicView::showPlaceholder(const QString &page)
{
    topic = ScreenTopic();
    setExtraSelections({});
    setHtml(page);
}

void TopicView::followLink(const QUrl &link)
{
    if (ZkHelp::isDesktopLink(link.toString())) {
        QDesktopServices::openUrl(link);
        return;
    }
    // toString() keeps "<", ">" and "%" percent-encoded; the lookup needs the
    // name exactly as the help file wrote it.
    emit helpLinkClicked(QUrl::fromPercentEncoding(link.toEncoded()));
}

void TopicView::scrollToSection(int sectionIndex)
{
    int heading = -1;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (sectionIndex < 0 || block.blockFormat().headingLevel() != 3 ||
            ++heading != sectionIndex)
            continue;
        setTextCursor(QTextCursor(block));
        const QRectF place = document()->documentLayout()->blockBoundingRect(block);
        verticalScrollBar()->setValue(int(place.top()));
        return;
    }
    verticalScrollBar()->setValue(0);
}

int TopicView::scrollPosition() const
{
    return verticalScrollBar()->value();
}

void TopicView::setScrollPosition(int position)
{
    // A long page is laid out a piece at a time after it is set, and the
    // scroll bar reaches only as far as the pieces so far; a place further
    // down needs the rest laid out, and the scroll bar told, at once.
    if (position > verticalScrollBar()->maximum()) {
        QAbstractTextDocumentLayout *layout = document()->documentLayout();
        emit layout->documentSizeChanged(layout->documentSize());
    }
    verticalScrollBar()->setValue(position);
}

bool TopicView::findInPage(const QString &text, bool backward, bool fromSelectionStart)
{
    if (text.isEmpty())
        return false;
    QTextCursor from = textCursor();
    if (fromSelectionStart)
        from.setPosition(from.selectionStart());
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor found = document()->find(text, from, flags);
    if (found.isNull()) {
        QTextCursor wrapped(document());
        if (backward)
            wrapped.movePosition(QTextCursor::End);
        found = document()->find(text, wrapped, flags);
    }
    if (found.isNull()) {
        from.clearSelection();
        setTextCursor(from);
        return false;
    }
    setTextCursor(found);
    return true;
}

int TopicView::highlight(const QStringList &words)
{
    QList<ExtraSelection> marks;
    QTextCharFormat mark;
    mark.setBackground(QColor(255, 230, 120));
    for (const QString &word : words) {
        if (word.isEmpty())
            continue;
        for (QTextCursor found = document()->find(word); !found.isNull();
             found = document()->find(word, found))
            marks.append({found, mark});
    }
    setExtraSelections(marks);
    return int(marks.size());
}

void TopicView::endFind()
{
    setExtraSelections({});
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    setTextCursor(cursor);
}

void TopicView::zoomBy(int steps)
{
    const int target = qBound(minZoomSteps, zoomSteps + steps, maxZoomSteps);
    const qreal normalSize = font().pointSizeF() - zoomSteps;
    zoomIn(target - zoomSteps);
    zoomSteps = target;
    emit zoomChanged(qRound(100 * font().pointSizeF() / normalSize));
}

void TopicView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return QTextBrowser::wheelEvent(event);
    wheelZoom += event->angleDelta().y();
    const int steps = wheelZoom / QWheelEvent::DefaultDeltasPerStep;
    wheelZoom -= steps * QWheelEvent::DefaultDeltasPerStep;
    if (steps != 0)
        zoomBy(steps);
    event->accept();
}

void TopicView::printWithDialog()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        print(&printer);
}

void TopicView::savePdfWithDialog(const QString &topicName)
{
    QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("Als PDF speichern"),
                                     QDir::home().filePath(topicName + QStringLiteral(".pdf")),
                                     QStringLiteral("PDF-Dateien (*.pdf)"));
    if (file.isEmpty())
        return;
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        file += QStringLiteral(".pdf");
    if (!writePdf(file))
        QMessageBox::critical(this, QStringLiteral("Fehler"),
                              QStringLiteral("PDF konnte nicht geschrieben werden:\n") + file);
}

// A failed write leaves an older file of that name as it was.
bool TopicView::writePdf(const QString &file)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&out);
        document()->print(&writer);
    }
    // A page the writer could not paint leaves nothing, which is no PDF.
    if (out.pos() == 0)
        out.cancelWriting();
    return ZkHelp::commitSaveFile(out);
}
