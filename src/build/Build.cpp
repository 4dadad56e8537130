#include "Build.h"

#include "FormState.h"
#include "Toolkit.h"

void btnWriteSmoothingClick(FormState& form, Toolkit& toolkit) {
    (void)form;
    (void)toolkit;
}

void btnWriteUlvarClick(FormState& form, Toolkit& toolkit) {
    (void)form;
    (void)toolkit;
}
