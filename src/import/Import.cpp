#include "Import.h"

#include "FormState.h"
#include "Toolkit.h"

void btnOpenCGATSFileClick(FormState& form, Toolkit& toolkit, int tag) {
    (void)form;
    (void)toolkit;
    (void)tag;
}

void CGATSFileProcess(FormState& form, Toolkit& toolkit, int tag, LineList& cgatsInput, int& begin_data,
                      int& number_of_sets, int& end_data, int& number_of_fields) {
    (void)form, (void)toolkit, (void)tag, (void)cgatsInput, (void)begin_data, (void)number_of_sets,
        (void)end_data, (void)number_of_fields;
}
