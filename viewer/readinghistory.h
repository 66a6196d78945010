// The topics a reader went through, for Back and Forward. Each step keeps
// the language and the scroll position its topic was left at, so that going
// back or forward shows the topic as the reader left it.
#pragma once

#include <QList>
#include <QString>

class ReadingHistory
{
public:
    // Where the reader was in a topic.
    struct Place
    {
        QString language;
        int scroll = 0;
    };

    struct Step
    {
        QString path;
        Place place;
    };

    // A new step for path after the current one, which is left at left; the
    // steps ahead of it are dropped. The current step's topic again is no
    // step of its own.
    void visit(const QString &path, const Place &left);

    bool canGoBack() const { return current > 0; }
    bool canGoForward() const { return current + 1 < steps.size(); }
    // The step before or after the current one, which becomes current; the
    // one left is remembered at left. Only when canGoBack() or
    // canGoForward() says there is such a step.
    Step back(const Place &left) { return moveTo(current - 1, left); }
    Step forward(const Place &left) { return moveTo(current + 1, left); }

    // The topic of the current step; empty before the first visit.
    QString currentPath() const;

private:
    Step moveTo(qsizetype step, const Place &left);

    QList<Step> steps;
    qsizetype current = -1;
};
