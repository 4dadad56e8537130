#pragma once

#include <QTabBar>
#include <QTabWidget>

// The window's tab strip: its captions share its width equally, and each caption wraps beside its
// icon so the long captions fit a fifth of the window.
class CaptionTabBar : public QTabBar {
public:
    explicit CaptionTabBar(QWidget* parent);

    // As wide as the tab control, and every tab an equal share of that width (the first ones
    // take the odd pixels). The bar lays its tabs out again on every resize.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kMinimumShare = 60;
};

// The window's tab control, with a CaptionTabBar.
class TabControl : public QTabWidget {
public:
    explicit TabControl(QWidget* parent);
};
