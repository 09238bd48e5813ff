#pragma once

#include <QDialog>

class QLabel;

namespace corvane {

// The About window: the program's title, version and maker, and two buttons that open the maker's
// web pages in the user's browser. A failure to open them is not reported.
class AboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit AboutWindow(QWidget *parent = nullptr);

    // The information text, one item a line.
    static QString informationText();
};

} // namespace corvane
