#include "MeasurementKind.h"

#include "SpectralBands.h"

namespace {

template <class T> constexpr FormControl<T> control(T FormState::*member, const char* name) {
    return {member, name};
}

} // namespace

const std::array<MeasurementKindInfo, 3>& MeasurementKinds() {
    using F = FormState;
    static const std::array<MeasurementKindInfo, 3> kinds{{
        {MeasurementKind::Spectral, "spectral", control(&F::TabItem1, "TabItem1"), 0,
         control(&F::memoInput, "memoInput"), control(&F::btnOpenSpecMeasurement, "btnOpenSpecMeasurement"),
         control(&F::labelMeasurementFileName, "labelMeasurementFileName"),
         control(&F::LabelMeasureFileType, "LabelMeasureFileType"), control(&F::LabelPatches, "LabelPatches"),
         control(&F::NumberBoxPatches, "NumberBoxPatches"), control(&F::LabelColumns, "LabelColumns"),
         control(&F::NumberBoxColumns, "NumberBoxColumns"),
         control(&F::NumberBoxBeginData, "NumberBoxBeginData"),
         control(&F::NumberBoxEndData, "NumberBoxEndData"), &F::dlgOpenMeasurementFile, &SpectralFormatLine,
         "Input File Incorrect: The File Should be the Ulvar Spectral CGATS File", true},
        {MeasurementKind::Lab, "lab", control(&F::TabItem2, "TabItem2"), 1,
         control(&F::memoCGATSLab, "memoCGATSLab"),
         control(&F::btnOpenLabMeasuremdent, "btnOpenLabMeasuremdent"),
         control(&F::labelLabFileName, "labelLabFileName"), control(&F::LabelLabFileType, "LabelLabFileType"),
         control(&F::LabelPatchesLab, "LabelPatchesLab"),
         control(&F::NumberBoxPatchesLab, "NumberBoxPatchesLab"),
         control(&F::LabelColumnsLab, "LabelColumnsLab"),
         control(&F::NumberBoxColumnsLab, "NumberBoxColumnsLab"),
         control(&F::NumberBoxBeginDataLab, "NumberBoxBeginDataLab"),
         control(&F::NumberBoxEndDataLab, "NumberBoxEndDataLab"), &F::dlgOpenMeasurementFile, &LabFormatLine,
         "Input File Incorrect: The File Should be the Ulvar L*a*b* CGATS File", true},
        {MeasurementKind::Optimized, "optimized", control(&F::TabItem4, "TabItem4"), 3,
         control(&F::memoOptimized, "memoOptimized"), control(&F::btnOpenOptimized, "btnOpenOptimized"),
         control(&F::LabelOptimizedFileName, "LabelOptimizedFileName"), control(&F::Label3, "Label3"),
         control(&F::Label1, "Label1"), control(&F::NumberBoxPatchesOptimized, "NumberBoxPatchesOptimized"),
         control(&F::Label2, "Label2"), control(&F::NumberBoxColumnsOptimized, "NumberBoxColumnsOptimized"),
         control(&F::NumberBoxBeginDataOptimized, "NumberBoxBeginDataOptimized"),
         control(&F::NumberBoxEndDataOptimized, "NumberBoxEndDataOptimized"), &F::dlgOpenOptimizedFile,
         nullptr, nullptr, false},
    }};
    return kinds;
}

const MeasurementKindInfo& MeasurementKindOf(MeasurementKind kind) {
    return MeasurementKinds()[static_cast<std::size_t>(kind) - 1];
}

std::optional<MeasurementKind> MeasurementKindOfTag(int tag) {
    for (const MeasurementKindInfo& info : MeasurementKinds())
        if (static_cast<int>(info.kind) == tag)
            return info.kind;
    return std::nullopt;
}

const QString& SpectralFormatLine() {
    static const QString line = QStringLiteral("SAMPLE_ID ") + SpectralFieldNames().join(u' ') + u' ';
    return line;
}

const QString& LabFormatLine() {
    static const QString line = QStringLiteral("SAMPLE_ID LAB_L LAB_A LAB_B ");
    return line;
}
