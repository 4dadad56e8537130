#include "Controls.h"

#include "IntegerText.h"

#include <cmath>
#include <limits>

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
    SetValue(static_cast<double>(ReadInteger(text, IntegerSyntax::Decimal, std::numeric_limits<qint64>::min(),
                                             std::numeric_limits<qint64>::max())));
}
