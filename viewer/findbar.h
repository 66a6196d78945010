// The find-in-page bar under the page. What the reader types is looked for
// as it grows; Enter and F3 go on to the next match, Shift+F3 back to the
// previous one, Escape closes the bar; a button does each as well. The bar
// says how many matches the page holds.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;

class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    // Shows the bar with its field focused and the text there selected.
    void open();
    // Asks for the next or previous match; a closed bar opens instead.
    void findNext();
    void findPrevious();
    // Shows the number of matches of the field's text, colouring the field
    // while there is none.
    void showFound(int matches);

signals:
    // The text as typed so far: a match already selected grows where it stands.
    void find(const QString &text);
    void next(const QString &text);
    void previous(const QString &text);
    void closed();

private:
    void dismiss();

    QLineEdit *field;
    QLabel *count;
};
