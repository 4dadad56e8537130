#include "unitUlvarTabbed.h"

TTabbedForm::TTabbedForm(QWidget* parent) : QWidget(parent) {}
