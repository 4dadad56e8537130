#pragma once

#include <QWidget>

// The thin work-in-progress bar: a rectangle filled with an aquamarine-to-blue gradient and a
// one-unit black outline. It carries no text; the window sets its width and visibility.
class ProgressRectangle : public QWidget {
public:
    explicit ProgressRectangle(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
