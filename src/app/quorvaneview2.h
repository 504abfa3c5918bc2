#pragma once

#include "app/quorvaneview.h"

#include <QPixmap>
#include <QWidget>

class CQuorvaneDoc;
class CStoreTabCtrl;

// The lower pane: the store tabs with their price lists, or, while no project is open, the
// start picture and what to do first.
class CQuorvaneView2 : public QWidget {
    Q_OBJECT
public:
    explicit CQuorvaneView2(CQuorvaneDoc* doc, QWidget* parent = nullptr);

    CStoreTabCtrl* StoreTabs() const { return m_storeTabs; }
    void SetCaptionColors(const CaptionPaint& colors);
    void UpdateLayout();
    bool StoresShown() const;
    void FocusPane();
    int CaptionHeight() const;

    static QString StartText() { return QStringLiteral("Create or Open a Project.  Press F1 for Help."); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CQuorvaneDoc* m_pDoc;
    CStoreTabCtrl* m_storeTabs;
    QPixmap m_picture;
    CaptionPaint m_colors;
};
