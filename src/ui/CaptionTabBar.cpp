#include "CaptionTabBar.h"

#include <QIcon>
#include <QPixmap>
#include <QStyleOptionFocusRect>
#include <QStyleOptionTab>
#include <QStylePainter>

#include <algorithm>
#include <vector>

namespace {

constexpr int kTabStripHeight = 49;
constexpr int kTabIconSize = 32;

} // namespace

CaptionTabBar::CaptionTabBar(QWidget* parent) : QTabBar(parent) {
    setExpanding(true);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setDrawBase(false);
    setIconSize(QSize(kTabIconSize, kTabIconSize));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

QSize CaptionTabBar::sizeHint() const {
    const int width = parentWidget() ? parentWidget()->width() : QTabBar::sizeHint().width();
    return QSize(std::max(width, minimumSizeHint().width()), kTabStripHeight);
}

QSize CaptionTabBar::minimumSizeHint() const {
    return QSize(count() * kMinimumShare, kTabStripHeight);
}

QSize CaptionTabBar::tabSizeHint(int index) const {
    const int n = std::max(1, count());
    const int total = std::max(width(), n * kMinimumShare);
    return QSize(total / n + (index < total % n ? 1 : 0), kTabStripHeight);
}

QSize CaptionTabBar::minimumTabSizeHint(int index) const {
    return tabSizeHint(index);
}

void CaptionTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    // The selected tab last, so its shape overlaps its neighbours as the style intends.
    std::vector<int> order;
    for (int i = 0; i < count(); ++i)
        if (i != currentIndex())
            order.push_back(i);
    if (currentIndex() >= 0)
        order.push_back(currentIndex());
    for (int i : order) {
        QStyleOptionTab opt;
        initStyleOption(&opt, i);
        painter.drawControl(QStyle::CE_TabBarTabShape, opt);

        const QRect inner = opt.rect.adjusted(8, 2, -6, -2);
        const bool enabled = isTabEnabled(i);
        const QPixmap pixmap =
            tabIcon(i).pixmap(iconSize(), devicePixelRatioF(), enabled ? QIcon::Normal : QIcon::Disabled);
        const QSize logical = pixmap.deviceIndependentSize().toSize();
        const QPoint iconAt(inner.left(), inner.center().y() - logical.height() / 2 + 1);
        if (!pixmap.isNull())
            painter.drawPixmap(iconAt, pixmap);

        QRect textRect = inner;
        textRect.setLeft(inner.left() + (pixmap.isNull() ? 0 : logical.width() + 6));
        painter.setFont(font());
        QColor color = tabTextColor(i);
        if (!color.isValid())
            color = palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
        painter.setPen(color);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, tabText(i));

        // The captions are drawn here, so the keyboard focus mark is too.
        if (i == currentIndex() && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = opt.rect.adjusted(3, 3, -3, -3);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
}

TabControl::TabControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new CaptionTabBar(this));
    setDocumentMode(true);
}
