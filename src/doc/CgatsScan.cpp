#include "CgatsScan.h"

#include "Error.h"
#include "LineList.h"

CgatsScanResult CgatsScan(const LineList& input, const std::function<void()>& onCount) {
    (void)input;
    (void)onCount;
    CgatsScanResult r;
    r.error = QStringLiteral("Input File Error");
    return r;
}

int StrToInt(const QString& text) {
    throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
}
