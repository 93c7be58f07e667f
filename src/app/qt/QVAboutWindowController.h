#pragma once
// The About window: name, version and what the program does.

#include <QDialog>

class QVAboutWindowController : public QDialog {
    Q_OBJECT
public:
    explicit QVAboutWindowController(QWidget* parent = nullptr);
};
