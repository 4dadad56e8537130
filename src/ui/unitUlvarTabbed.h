#pragma once

#include <QWidget>

class TTabbedForm : public QWidget {
public:
    explicit TTabbedForm(QWidget* parent = nullptr);
};
