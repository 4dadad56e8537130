// A spectral import started inside each pump of a running spectral import (after loading, after
// each count, after presenting), with a file that is accepted, refused or fails its scan. Each
// import presents its document whole, so the window always shows exactly one of the two files
// (the one presented last) with that file's own name and counts, never a mix; the bar ends hidden.

#include "ImportTestSupport.h"

#include <string>

namespace {

struct InnerCase {
    const char* name;
    const char* file;
    const char* message; // what the inner import tells, nullptr for nothing
    bool presents;       // whether it shows its document (a refused file shows nothing)
};

const InnerCase kInner[] = {
    {"Accepted", "spectral_lowercase_format.txt", nullptr, true},
    {"Refused", "lab.txt", kNotSpectral, false},
    {"ScanFails", "spectral_bad_count.txt", "scan", true},
};

// The outer import of spectral.txt pumps four times: after loading, after each of the two counts,
// after presenting.
constexpr int kOuterPumps = 4;

// The spectral kind as one import of the file shows it on a fresh window.
KindView alone(const char* file) {
    FormState form = startedForm();
    ScriptedToolkit toolkit;
    toolkit.answerOpen(fixture(file));
    btnOpenCGATSFileClick(form, toolkit, 1);
    return viewOf(form, 1);
}

class ImportInsideImport : public testing::TestWithParam<std::tuple<InnerCase, int>> {};

TEST_P(ImportInsideImport, WindowShowsTheFilePresentedLast) {
    const auto& [inner, pump] = GetParam();
    FormState form = startedForm();
    WatchingToolkit toolkit(form);
    toolkit.answerOpen(fixture("spectral.txt"));
    toolkit.answerOpen(fixture(inner.file));
    for (int k = 0; k < pump; ++k)
        toolkit.onNextPump([] {});
    toolkit.onNextPump([&] { btnOpenCGATSFileClick(form, toolkit, 1); });

    btnOpenCGATSFileClick(form, toolkit, 1);

    const bool innerLast = inner.presents && pump == kOuterPumps - 1;
    EXPECT_EQ(viewOf(form, 1), alone(innerLast ? inner.file : "spectral.txt"));
    const QStringList expectedMessages =
        !inner.message ? QStringList()
                       : QStringList{std::string(inner.message) == "scan" ? scanFailureText()
                                                                          : QString::fromUtf8(inner.message)};
    EXPECT_EQ(toolkit.messages(), expectedMessages);
    EXPECT_TRUE(toolkit.errors().isEmpty());
    EXPECT_EQ(toolkit.unexpectedDialogs, 0);
    // The spectral tab is open exactly when the spectral pane holds a document.
    EXPECT_EQ(form.TabItem2.Enabled, form.memoInput.Lines.Count() > 0);
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
}

INSTANTIATE_TEST_SUITE_P(EachPump, ImportInsideImport,
                         testing::Combine(testing::ValuesIn(kInner), testing::Range(0, kOuterPumps)),
                         [](const testing::TestParamInfo<std::tuple<InnerCase, int>>& info) {
                             return std::string(std::get<0>(info.param).name) + "AtPump" +
                                    std::to_string(std::get<1>(info.param));
                         });

} // namespace
