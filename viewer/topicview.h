// The page on screen: one help topic in one of its languages, with what a
// reader does on it (find, zoom, print, save as PDF). Web and mail links go
// to the desktop; a link to another help file is handed on by name.
#pragma once

#include "screenpage.h"

#include <QString>
#include <QStringList>
#include <QTextBrowser>

class QUrl;

class TopicView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit TopicView(QWidget *parent = nullptr);

    // Shows topic in language, or asks for a file and a language when topic
    // has no language of that name.
    void showTopic(ScreenTopic topic, const QString &language);
    void showLanguage(const QString &language);
    // Shows page instead of any topic.
    void showPlaceholder(const QString &page);

    // Section k is the k-th third-level heading of the page; -1 is the top.
    void scrollToSection(int sectionIndex);
    // How far down the page is scrolled, in pixels.
    int scrollPosition() const;
    void setScrollPosition(int position);

    // Selects the next match of text (the previous one when backward), going
    // round the page's end; false when text is empty or nowhere on the page.
    // fromSelectionStart lets a selected match grow where it stands. Without a
    // match nothing stays selected.
    bool findInPage(const QString &text, bool backward, bool fromSelectionStart = false);
    // Marks every occurrence of each of words (any letter case) until the
    // next call, topic or language; returns how many there are.
    int highlight(const QStringList &words);
    // Drops the marks and the selection a search left.
    void endFind();

    // Steps from the normal text size, kept within bounds.
    int zoom() const { return zoomSteps; }
    // Ctrl with the mouse wheel goes through here too, so that resetZoom()
    // undoes it.
    void zoomBy(int steps);
    void resetZoom() { zoomBy(-zoomSteps); }

    // Asks for a printer and prints the page on it.
    void printWithDialog();
    // Asks for a file, offering topicName.pdf in the home folder, and writes
    // the page there as PDF; says so when that fails.
    void savePdfWithDialog(const QString &topicName);

signals:
    // A link to another help file, its name exactly as the help file wrote it.
    void helpLinkClicked(const QString &name);
    // The text size now, in percent of the normal one.
    void zoomChanged(int percent);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void followLink(const QUrl &link);
    bool writePdf(const QString &file);

    ScreenTopic topic;
    int zoomSteps = 0;
    // Wheel turns short of a whole step, as touchpads send them.
    int wheelZoom = 0;
};
