#pragma once

#include <QDialog>

// The About box: the program's picture, its name and version, and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString VersionText() { return QStringLiteral("Quorvane Version 1.0"); }
};
