#include "Controls.h"

#include "Error.h"

#include <cmath>

NumberBox::NumberBox(double max, double value, bool readOnly, bool visible)
    : Max(max), ReadOnly(readOnly), Visible(visible) {
    SetValue(value);
}

void NumberBox::SetValue(double value) {
    if (std::isnan(value))
        value = Min;
    if (value > Max)
        value = Max;
    if (value < Min)
        value = Min;
    m_value = value;
}

QString NumberBox::Text() const {
    // Rounded half away from zero, plain digits, no grouping.
    return QString::number(static_cast<qlonglong>(std::llround(m_value)));
}

void NumberBox::SetText(const QString& text) {
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 10);
    if (!ok)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    SetValue(static_cast<double>(v));
}
