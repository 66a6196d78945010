// The window's keys and tool bar: every action's key, named in its tool tip,
// and what the page and its find bar do on them.
#pragma once

class QMainWindow;

namespace Ui {
class MainWindow;
}

// Gives the actions of ui their keys and connects those that act on the page
// alone (find, zoom, print), plus Ctrl+L and Ctrl+Shift+F into the name
// filter and the full-text field. A zoom shows its level in window's status
// bar for a moment.
void setUpReaderActions(QMainWindow *window, Ui::MainWindow &ui);
