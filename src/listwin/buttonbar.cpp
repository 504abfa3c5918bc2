#include "buttonbar.h"

#include <QResizeEvent>

CButtonBar::CButtonBar(int id, QWidget* parent)
    : QWidget(parent), m_id(id), m_new(new QPushButton(QStringLiteral("New"), this)),
      m_edit(new QPushButton(QStringLiteral("Edit"), this)), m_delete(new QPushButton(QStringLiteral("Delete"), this)) {
    m_new->setObjectName(QString::number(id + 10));
    m_edit->setObjectName(QString::number(id + 20));
    m_delete->setObjectName(QString::number(id + 30));
    for (QPushButton* b : {m_new, m_edit, m_delete}) b->setFocusPolicy(Qt::NoFocus);
    connect(m_new, &QPushButton::clicked, this, &CButtonBar::newClicked);
    connect(m_edit, &QPushButton::clicked, this, &CButtonBar::editClicked);
    connect(m_delete, &QPushButton::clicked, this, &CButtonBar::deleteClicked);
}

CButtonBar::Layout CButtonBar::LayoutFor(int width) {
    Layout l{};
    if (width >= 260) l = {80, 0, {"New", "Edit", "Delete"}};
    else if (width >= 200) l = {60, 0, {"New", "Edit", "Del"}};
    else if (width >= 140) l = {40, 0, {"New", "Edit", "Del"}};
    else l = {20, 0, {"N", "E", "D"}};
    const int free = width - 3 * l.buttonWidth - 20;
    l.left = free / 2;
    return l;
}

void CButtonBar::resizeEvent(QResizeEvent* event) {
    const Layout l = LayoutFor(event->size().width());
    const int h = event->size().height();
    QPushButton* buttons[3] = {m_new, m_edit, m_delete};
    for (int k = 0; k < 3; ++k) {
        buttons[k]->setText(QString::fromLatin1(l.labels[k]));
        buttons[k]->setGeometry(l.left + k * (l.buttonWidth + 10), 0, l.buttonWidth, h);
    }
    QWidget::resizeEvent(event);
}
