#include "aboutdlg.h"

#include "app/appicon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Quorvane"));
    setObjectName(QStringLiteral("AboutDlg"));
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("labelIcon"));
    icon->setPixmap(ProgramPixmap(32));
    auto* version = new QLabel(VersionText(), this);
    version->setObjectName(QStringLiteral("labelVersion"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(version, 1);
    row->addWidget(ok, 0, Qt::AlignTop);
    auto* top = new QVBoxLayout(this);
    top->addLayout(row);
    setFixedSize(sizeHint().expandedTo(QSize(300, 80)));
}
