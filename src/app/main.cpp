#include "Application.h"
#include "unitUlvarTabbed.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    const std::unique_ptr<QApplication> app = MakeApplication(argc, argv);
    // Lives on the stack until exec returns, so a handler still running when the window is closed
    // never finds it gone.
    TTabbedForm TabbedForm;
    TabbedForm.show();
    return app->exec();
}
