#include "readeractions.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>

namespace {

void addFocusKey(QMainWindow *window, const QKeySequence &key, QLineEdit *field)
{
    auto *action = new QAction(window);
    action->setShortcut(key);
    window->addAction(action);
    QObject::connect(action, &QAction::triggered, field, [field] {
        field->setFocus(Qt::ShortcutFocusReason);
        field->selectAll();
    });
}

void connectFindBar(Ui::MainWindow &ui)
{
    FindBar *bar = ui.findBar;
    TopicView *view = ui.contentBrowser;
    QObject::connect(ui.actionFind, &QAction::triggered, bar, &FindBar::open);
    QObject::connect(ui.actionFindNext, &QAction::triggered, bar, &FindBar::findNext);
    QObject::connect(ui.actionFindPrevious, &QAction::triggered, bar, &FindBar::findPrevious);
    const auto findOnPage = [bar, view](bool backward, bool fromSelectionStart) {
        return [=](const QString &text) {
            const int matches = view->highlight({text});
            view->findInPage(text, backward, fromSelectionStart);
            bar->showFound(matches);
        };
    };
    QObject::connect(bar, &FindBar::find, view, findOnPage(false, true));
    QObject::connect(bar, &FindBar::next, view, findOnPage(false, false));
    QObject::connect(bar, &FindBar::previous, view, findOnPage(true, false));
    QObject::connect(bar, &FindBar::closed, view, [view] {
        view->endFind();
        view->setFocus();
    });
}

} // namespace

void setUpReaderActions(QMainWindow *window, Ui::MainWindow &ui)
{
    ui.actionOpen->setShortcut(QKeySequence::Open);
    ui.actionBack->setShortcut(QKeySequence::Back);
    ui.actionForward->setShortcut(QKeySequence::Forward);
    ui.actionBack->setIcon(window->style()->standardIcon(QStyle::SP_ArrowBack));
    ui.actionForward->setIcon(window->style()->standardIcon(QStyle::SP_ArrowForward));
    ui.actionFind->setShortcut(QKeySequence::Find);
    ui.actionFindNext->setShortcut(Qt::Key_F3);
    ui.actionFindPrevious->setShortcut(Qt::SHIFT | Qt::Key_F3);
    ui.actionZoomIn->setShortcut(QKeySequence::ZoomIn);
    ui.actionZoomOut->setShortcut(QKeySequence::ZoomOut);
    ui.actionZoomReset->setShortcut(Qt::CTRL | Qt::Key_0);
    ui.actionPrint->setShortcut(QKeySequence::Print);
    // Not on the tool bar, yet their keys work anywhere in the window.
    window->addActions({ui.actionFindNext, ui.actionFindPrevious});
    // A tool bar shows no keys otherwise.
    const QList<QAction *> tools = ui.toolBar->actions();
    for (QAction *action : tools) {
        if (!action->shortcut().isEmpty())
            action->setToolTip(action->toolTip() + QStringLiteral(" (") +
                               action->shortcut().toString(QKeySequence::NativeText) +
                               QLatin1Char(')'));
    }
    addFocusKey(window, QKeySequence(Qt::CTRL | Qt::Key_L), ui.searchLineEdit);
    addFocusKey(window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), ui.fullTextLineEdit);

    TopicView *view = ui.contentBrowser;
    QObject::connect(ui.actionZoomIn, &QAction::triggered, view, [view] { view->zoomBy(1); });
    QObject::connect(ui.actionZoomOut, &QAction::triggered, view, [view] { view->zoomBy(-1); });
    QObject::connect(ui.actionZoomReset, &QAction::triggered, view, &TopicView::resetZoom);
    QObject::connect(ui.actionPrint, &QAction::triggered, view, &TopicView::printWithDialog);
    QObject::connect(view, &TopicView::zoomChanged, window, [window](int percent) {
        window->statusBar()->showMessage(QStringLiteral("Zoom: %1 %").arg(percent), 2000);
    });
    connectFindBar(ui);
}
