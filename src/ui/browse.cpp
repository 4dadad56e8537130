#include "browse.h"

#include "Toolkit.h"

void TMisc::Open(Toolkit& shell, const QString& sCommand) {
    shell.OpenAddress(sCommand);
}
