#include "readinghistory.h"

void ReadingHistory::visit(const QString &path, const Place &left)
{
    if (current >= 0) {
        if (steps.at(current).path == path)
            return;
        steps[current].place = left;
    }
    steps.resize(current + 1);
    steps.append({path, Place()});
    ++current;
}

QString ReadingHistory::currentPath() const
{
    return current < 0 ? QString() : steps.at(current).path;
}

ReadingHistory::Step ReadingHistory::moveTo(qsizetype step, const Place &left)
{
    Q_ASSERT(current >= 0 && step >= 0 && step < steps.size());
    steps[current].place = left;
    current = step;
    return steps.at(current);
}
