#include "FuzzSupport.h"

#include "CmykPercent.h"
#include "Error.h"
#include "LineTokenize.h"
#include "SaveDocument.h"
#include "SpecBuilder.h"
#include "SpectralBands.h"
#include "TestFiles.h"
#include "Toolkit.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumetra::fuzz {

// ---- failing ------------------------------------------------------------------------------------

void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "lumetra fuzz check failed: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.left(2000).toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

void check(bool ok, const char* what, const QString& detail) {
    if (!ok)
        fail(what, detail);
}

namespace {

QString show(const QStringList& lines) {
    QStringList shown;
    for (const QString& line : lines.mid(0, 20))
        shown << QLatin1Char('"') + line.left(120) + QLatin1Char('"');
    return QStringLiteral("%1 lines: ").arg(lines.size()) + shown.join(u", ");
}

} // namespace

void checkLines(const QStringList& got, const QStringList& expected, const char* what) {
    if (got == expected)
        return;
    qsizetype i = 0;
    while (i < got.size() && i < expected.size() && got.at(i) == expected.at(i))
        ++i;
    fail(what, QStringLiteral("first difference at line %1\n  got      %2\n  expected %3")
                   .arg(i)
                   .arg(show(got.mid(i, 3)), show(expected.mid(i, 3))));
}

// ---- inputs ---------------------------------------------------------------------------------------

QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QList<QByteArray> parts(const QByteArray& bytes, int count) {
    QList<QByteArray> out = bytes.split(static_cast<char>(kPartSeparator));
    while (out.size() < count)
        out.append(QByteArray());
    return out.mid(0, count);
}

std::optional<QStringList> loaded(const QByteArray& bytes) {
    LineList list;
    try {
        list.LoadFromBytes(bytes);
    } catch (const Error&) {
        return std::nullopt;
    }
    return list.lines();
}

LineList listOf(const QStringList& lines) {
    LineList list;
    list.setLines(lines);
    return list;
}

QStringList fieldsOf(const QString& line) {
    LineList fields;
    LineTokenize(line, fields);
    return fields.lines();
}

// ---- folders and the toolkit -------------------------------------------------------------------------

QString scratch(const char* sub) {
    static QTemporaryDir root(QDir::tempPath() + QStringLiteral("/lumetra-fuzz-XXXXXX"));
    check(root.isValid(), "scratch folder", root.errorString());
    const QString path = root.filePath(QString::fromLatin1(sub));
    QDir().mkpath(path);
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    check(WriteBytes(path, bytes), "writing a scratch file", path);
}

const QStringList kSwatchPatches = {"128 51 230 0", "0 255 191 84", "255 0 0 0"};

QString folderWithSwatches(const char* sub) {
    const QString dir = scratch(sub);
    const QString cmyk = dir + QStringLiteral("/CMYK");
    if (!QFileInfo::exists(cmyk + QStringLiteral("/QuickU.IccSwa"))) {
        QByteArray body = "Lumetra fuzz swatch\r\n   Patches {\r\n";
        for (const QString& line : kSwatchPatches)
            body += "    [" + line.toLatin1() + "],\r\n";
        body += "   }\r\n";
        QDir().mkpath(cmyk);
        for (const char* chart : {"Quick", "Standard", "Extreme", "ExtremeL", "Ultra", "UltraL"})
            for (const char* variant : {"", "U"})
                writeFile(
                    QStringLiteral("%1/%2%3.IccSwa").arg(cmyk, QLatin1String(chart), QLatin1String(variant)),
                    body);
    }
    return dir;
}

InFolder::InFolder(const QString& path) : m_guard(path) {
    check(m_guard.entered(), "entering a scratch folder", path);
}

ScriptedToolkit fuzzToolkit() {
    ScriptedToolkit toolkit;
    toolkit.sumsUpRepeatedMessages = false;
    return toolkit;
}

BuildClock fixedClock() {
    return BuildClock{[] { return QDateTime(QDate(2018, 3, 11), QTime(14, 25, 30)); },
                      [] { return QLocale::c(); }};
}

// ---- checks of what the program made ------------------------------------------------------------------

bool isAllowedHandlerError(const QString& e) {
    return e.startsWith(QStringLiteral("List index out of bounds (")) ||
           e == ErrorDisplayText(SpecAssertionText()) || e == QStringLiteral("Out of memory");
}

void checkSavedFile(const QString& path, const LineList& pane, const char* what) {
    const QByteArray file = ReadBytes(path);
    const QByteArray expected = EncodeDocument(pane);
    check(file == expected, what,
          QStringLiteral("%1 bytes written, %2 expected").arg(file.size()).arg(expected.size()));
    check(file.count("\r\n") == pane.Count() - 1 && file.count('\r') == pane.Count() - 1 &&
              file.count('\n') == pane.Count() - 1,
          "a saved file breaks its lines only between the pane's lines");
}

namespace {

QString trimmedOfControl(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

// Sign, digits with at most one full stop and a digit on one side, optional exponent.
bool isDecimal(const QString& s) {
    qsizetype i = 0;
    auto digit = [&](qsizetype k) { return k < s.size() && s.at(k) >= u'0' && s.at(k) <= u'9'; };
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
        ++i;
    int digits = 0;
    while (digit(i))
        ++i, ++digits;
    if (i < s.size() && s.at(i) == u'.') {
        ++i;
        while (digit(i))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s.at(i) == u'e' || s.at(i) == u'E')) {
        ++i;
        if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
            ++i;
        int exp = 0;
        while (digit(i))
            ++i, ++exp;
        if (exp == 0)
            return false;
    }
    return i == s.size();
}

} // namespace

std::optional<QString> checkedCmykPercent(const QString& value) {
    std::optional<QString> got;
    try {
        got = CmykPercent(value);
    } catch (const Error& e) {
        check(e.message() ==
                  QStringLiteral("'%1' is not a valid floating point value").arg(trimmedOfControl(value)),
              "CmykPercent's refusal names the trimmed value", e.message());
    }
    const QString trimmed = trimmedOfControl(value);
    if (!isDecimal(trimmed)) {
        check(!got, "CmykPercent took what is no decimal number", value);
        return got;
    }
    const double number = std::strtod(trimmed.toLatin1().constData(), nullptr);
    if (!std::isfinite(number)) {
        check(!got, "CmykPercent took a number out of range", value);
        return got;
    }
    check(got.has_value(), "CmykPercent refused a decimal number", value);
    const QString& text = *got;
    const qsizetype point = text.indexOf(u'.');
    check(point > 0 && point == text.size() - 3, "CmykPercent gives two decimals", text);
    const double exact = number / 255 * 100;
    const double shown = std::strtod(text.toLatin1().constData(), nullptr);
    check(std::fabs(shown - exact) <= 0.005 * (1 + 1e-9) + std::fabs(exact) * 1e-13,
          "CmykPercent rounds to the hundredth", value + QStringLiteral(" -> ") + text);
    return got;
}

namespace {

// The line less its sample ID: everything after its first blank (the whole line without one).
QString afterSampleId(const QString& line) {
    const qsizetype blank = line.indexOf(u' ');
    return blank < 0 ? line : line.mid(blank + 1);
}

bool isBlankish(QChar c) {
    return c.unicode() <= u' ';
}

// " C M Y K " for a readable patch line; nullopt for one with fewer than four fields or a field
// that is no number.
std::optional<QString> cmykOf(const QString& patchLine) {
    const QStringList f = fieldsOf(patchLine);
    if (f.size() < 4)
        return std::nullopt;
    QString part = QStringLiteral(" ");
    for (int k = 0; k < 4; ++k) {
        const std::optional<QString> percent = checkedCmykPercent(f.at(k));
        if (!percent)
            return std::nullopt;
        part += *percent + u' ';
    }
    return part;
}

} // namespace

void checkSmoothingDocument(const QStringList& pane, const QStringList& messages, const QStringList& lab,
                            const QStringList& spectral, const QStringList& patches,
                            const QString& patchCount) {
    constexpr int kHeader = 10;
    check(pane.size() >= kHeader + 1, "the smoothing document has its header and END_DATA",
          QString::number(pane.size()));
    check(pane.at(0) == lab.at(0), "the first line is the L*a*b* file's", pane.at(0));
    check(pane.at(3).startsWith(QStringLiteral("CREATED \"")) && pane.at(3).endsWith(u'"'),
          "the creation line", pane.at(3));
    const QStringList names = fieldsOf(pane.at(6));
    check(pane.at(4) == QStringLiteral("NUMBER_OF_FIELDS 44") && names.size() == 44 &&
              pane.at(5) == QStringLiteral("BEGIN_DATA_FORMAT") &&
              pane.at(7) == QStringLiteral("END_DATA_FORMAT"),
          "44 fields declared and named", pane.mid(4, 4).join(u'|'));
    check(names.mid(0, 8) == QStringList({"SAMPLE_ID", "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K", "LAB_L",
                                          "LAB_A", "LAB_B"}) &&
              names.mid(8) == SpectralFieldNames(),
          "the field names", pane.at(6));
    check(pane.at(8) == QStringLiteral("NUMBER_OF_SETS ") + patchCount, "the declared count is the box's",
          pane.at(8));
    check(pane.at(9) == QStringLiteral("BEGIN_DATA") && pane.back() == QStringLiteral("END_DATA"),
          "the data markers");

    // Paired: the lines strictly between the L*a*b* pane's data markers (IndexOf has its own harness).
    const LineList labList = listOf(lab);
    const int begin = labList.IndexOf(QStringLiteral("BEGIN_DATA"));
    const int end = labList.IndexOf(QStringLiteral("END_DATA"));
    const int paired = std::max(0, end - begin - 1);
    // A row that cannot read its patch line is left out and the next row tries the same line, so
    // from the first unreadable patch line on no row is written.
    qsizetype unreadable = patches.size();
    QStringList cmyk;
    for (qsizetype p = 0; p < patches.size() && p < paired && unreadable == patches.size(); ++p) {
        if (const std::optional<QString> part = cmykOf(patches.at(p)))
            cmyk << *part;
        else
            unreadable = p;
    }
    const int written =
        unreadable < patches.size() ? std::min<int>(paired, static_cast<int>(unreadable)) : paired;

    const QStringList rows = pane.mid(kHeader, pane.size() - kHeader - 1);
    check(rows.size() == written, "one row per paired line, none after an unreadable patch line",
          QStringLiteral("%1 rows, %2 paired, patch line %3 of %4 unreadable")
              .arg(rows.size())
              .arg(paired)
              .arg(unreadable)
              .arg(patches.size()));
    for (int w = 0; w < rows.size(); ++w) {
        const QString& row = rows.at(w);
        const int k = w + 1;
        const QString start =
            QString::number(k) + (w < cmyk.size() ? cmyk.at(w) : QStringLiteral(" 0 0 0 0 "));
        check(row.startsWith(start), "a row starts with its number k and its CMYK part or the zero text",
              row.left(80) + QStringLiteral(" / ") + start);
        const QString labRest = afterSampleId(lab.at(begin + k));
        const QString spectralRest = afterSampleId(spectral.at(begin + k));
        const QString rest = row.mid(start.size());
        check(rest.startsWith(labRest), "then the L*a*b* line less its sample ID", row.left(200));
        const QString tail = rest.mid(labRest.size());
        // One blank between the two remainders, only where neither brings white space of its own.
        const bool joinedByBlank = !(start + labRest).isEmpty() && !isBlankish((start + labRest).back()) &&
                                   !spectralRest.isEmpty() && !isBlankish(spectralRest.front());
        check(tail == (joinedByBlank ? u' ' + spectralRest : spectralRest),
              "then the spectral line less its sample ID", row.left(200));
    }
    QStringList expectedMessages;
    for (int i = written; i < paired; ++i)
        expectedMessages
            << QStringLiteral("i_row: %1 cgats_cmyk.count: %2").arg(unreadable).arg(patches.size());
    checkLines(messages, expectedMessages, "each row left out is named, with the patch line it tried");
}

} // namespace lumetra::fuzz
