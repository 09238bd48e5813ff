#pragma once

#include <QMainWindow>

namespace corvane {

// The main window of Corvane.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
};

} // namespace corvane
