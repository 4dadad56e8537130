#include "unitUlvarTabbed.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TTabbedForm TabbedForm;
    TabbedForm.show();
    return app.exec();
}
