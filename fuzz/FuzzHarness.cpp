// The harnesses behind the fuzz targets and the replay test. Where a rule is simple enough, the
// result of the real code is compared with a plain, slow reading of the rule written here again
// (the references below); elsewhere only what must hold for any input is checked: nothing escapes
// a handler but the errors the user is meant to see, a refused file leaves the window as it was,
// the progress bar ends hidden, and a saved file holds exactly its pane.

#include "FuzzHarness.h"

#include "Build.h"
#include "BuildClock.h"
#include "CgatsScan.h"
#include "CmykPercent.h"
#include "CodePage1252.h"
#include "Error.h"
#include "FormState.h"
#include "Import.h"
#include "IntegerText.h"
#include "LineList.h"
#include "LineTokenize.h"
#include "SaveDocument.h"
#include "SmoothingBuilder.h"
#include "SpecBuilder.h"
#include "SpectralBands.h"
#include "Swatch.h"
#include "TestFiles.h"
#include "Toolkit.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace lumetra::fuzz {
namespace {

// ---- failing ------------------------------------------------------------------------------------

[[noreturn]] void fail(const char* what, const QString& detail = QString()) {
    std::fprintf(stderr, "lumetra fuzz check failed: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.left(2000).toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

void check(bool ok, const char* what, const QString& detail = QString()) {
    if (!ok)
        fail(what, detail);
}

QString show(const QStringList& lines) {
    QStringList shown;
    for (const QString& line : lines.mid(0, 20))
        shown << QLatin1Char('"') + line.left(120) + QLatin1Char('"');
    return QStringLiteral("%1 lines: ").arg(lines.size()) + shown.join(u", ");
}

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

QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QList<QByteArray> parts(const QByteArray& bytes, int count) {
    QList<QByteArray> out = bytes.split(static_cast<char>(kPartSeparator));
    while (out.size() < count)
        out.append(QByteArray());
    return out.mid(0, count);
}

// ---- a toolkit without a screen ----------------------------------------------------------------

class FuzzToolkit : public Toolkit {
public:
    void ShowMessage(const QString& text) override { messages.append(text); }
    void ShowError(const QString& text) override { errors.append(text); }
    bool ExecuteOpen(OpenDialog& dialog) override { return answer(open, dialog.FileName); }
    bool ExecuteSave(SaveDialog& dialog) override {
        ++saveDialogs;
        return answer(save, dialog.FileName);
    }
    void ProcessMessages() override { ++pumps; }
    void Yield() override {}
    void OpenAddress(const QString&) override {}
    // The references name every failing row; how the window sums them up has tests of its own.
    bool SumsUpRepeatedMessages() const override { return false; }

    std::deque<std::optional<QString>> open, save;
    QStringList messages, errors;
    int pumps = 0;
    int saveDialogs = 0;

private:
    static bool answer(std::deque<std::optional<QString>>& queue, QString& fileName) {
        if (queue.empty())
            return false;
        const std::optional<QString> a = queue.front();
        queue.pop_front();
        if (!a)
            return false;
        fileName = *a;
        return true;
    }
};

// ---- scratch folders ------------------------------------------------------------------------------

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

// The builders read ./CMYK/ below the current directory.
class InFolder {
public:
    explicit InFolder(const QString& path) : m_guard(path) {
        check(m_guard.entered(), "entering a scratch folder", path);
    }

private:
    CurrentDirGuard m_guard;
};

const char* const kCharts[] = {"Quick", "Standard", "Extreme", "ExtremeL", "Ultra", "UltraL"};
const QStringList kSwatchPatches = {"128 51 230 0", "0 255 191 84", "255 0 0 0"};

QByteArray swatchFile(const QStringList& patchLines) {
    QByteArray body = "Lumetra fuzz swatch\r\n   Patches {\r\n";
    for (const QString& line : patchLines)
        body += "    [" + line.toLatin1() + "],\r\n";
    return body + "   }\r\n";
}

// A folder with a small swatch file for every chart, both orders.
QString folderWithSwatches(const char* sub) {
    const QString dir = scratch(sub);
    const QString cmyk = dir + QStringLiteral("/CMYK");
    if (!QFileInfo::exists(cmyk + QStringLiteral("/QuickU.IccSwa"))) {
        QDir().mkpath(cmyk);
        for (const char* chart : kCharts)
            for (const char* variant : {"", "U"})
                writeFile(
                    QStringLiteral("%1/%2%3.IccSwa").arg(cmyk, QLatin1String(chart), QLatin1String(variant)),
                    swatchFile(kSwatchPatches));
    }
    return dir;
}

BuildClock fixedClock() {
    return BuildClock{[] { return QDateTime(QDate(2018, 3, 11), QTime(14, 25, 30)); },
                      [] { return QLocale::c(); }};
}

// ---- references ---------------------------------------------------------------------------------

bool isAsciiText(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// The program only ever searches for ASCII keywords; for them equality is ASCII case folding.
int indexOfKeyword(const QStringList& lines, const QString& keyword) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (isAsciiText(lines.at(i)) && lines.at(i).compare(keyword, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

QStringList cutText(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && text.at(j) != u'\r' && text.at(j) != u'\n')
            ++j;
        lines.append(text.mid(i, j - i));
        if (j >= n)
            break;
        if (text.at(j) == u'\r')
            ++j;
        if (j < n && text.at(j) == u'\n')
            ++j;
        i = j;
    }
    return lines;
}

QString upToNul(QString text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

struct ReferenceLoad {
    bool valid = true;
    QStringList lines;
};

// Decode the whole text, then cut it: the plain order of the rules, where the real load cuts the
// bytes first and decodes line by line.
ReferenceLoad referenceLoad(const QByteArray& b) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData());
    if (b.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder.decode(b.mid(3));
        if (decoder.hasError())
            return {false, {}};
        return {true, cutText(upToNul(text))};
    }
    if (b.startsWith("\xFF\xFE") || b.startsWith("\xFE\xFF")) {
        const bool big = p[0] == 0xFE;
        QString text;
        for (qsizetype i = 2; i + 1 < b.size(); i += 2)
            text.append(QChar(static_cast<char16_t>(big ? (p[i] << 8) | p[i + 1] : (p[i + 1] << 8) | p[i])));
        return {true, cutText(upToNul(text))};
    }
    // The code page's table is the program's own: what is checked here is the order of decoding
    // and cutting, not the table.
    const auto& codePage = CodePage1252();
    QString text;
    text.reserve(b.size());
    for (qsizetype i = 0; i < b.size(); ++i)
        text.append(QChar(codePage[p[i]]));
    return {true, cutText(upToNul(text))};
}

bool isSeparator(QChar c) {
    return c == u' ' || c == u'\t';
}

QString trimControl(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

// nullopt: the line trims to nothing and the field list is left alone.
std::optional<QStringList> referenceFields(const QString& line) {
    const QString trimmed = trimControl(line);
    if (trimmed.isEmpty())
        return std::nullopt;
    QStringList fields;
    QString run;
    bool inRun = false;
    for (QChar c : trimmed) {
        if (isSeparator(c)) {
            if (inRun)
                fields << trimControl(run);
            run.clear();
            inRun = false;
        } else {
            run += c;
            inRun = true;
        }
    }
    if (inRun)
        fields << trimControl(run);
    return fields;
}

QStringList fieldsOrNone(const QString& line) {
    return referenceFields(line).value_or(QStringList());
}

std::optional<int> referenceStrToInt(const QString& s) {
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
        negative = s.at(i++) == u'-';
    int base = 10;
    if (i < s.size() && (s.at(i) == u'$' || s.at(i) == u'x' || s.at(i) == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s.at(i) == u'0' && (s.at(i + 1) == u'x' || s.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    QString digits = s.mid(i);
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        const bool dec = u >= u'0' && u <= u'9';
        const bool hex = (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!(dec || (base == 16 && hex)))
            return std::nullopt;
    }
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    if (digits.size() > 12)
        return std::nullopt;
    bool ok = false;
    const qlonglong magnitude = digits.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    const qlonglong value = negative ? -magnitude : magnitude;
    if (value < -2147483648LL || value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

struct ReferenceScan {
    bool ok = false;
    QString error;
    bool beginDataSet = false;
    int begin_data = 0, number_of_sets = 0, end_data = 0, number_of_fields = 0;
    int pumps = 0;
};

ReferenceScan referenceScan(const QStringList& lines) {
    ReferenceScan r;
    const int n = static_cast<int>(lines.size());
    r.end_data = indexOfKeyword(lines, QStringLiteral("END_DATA"));
    auto failWith = [&](const QString& text) {
        r.error = text;
        return r;
    };
    if (r.end_data <= 0) {
        int found = -1;
        for (int i = n - 1; i >= 0 && found < 0; --i)
            if (lines.at(i).contains(u"END_DATA"))
                found = i;
        if (found >= 0)
            r.end_data = found;
        if (found <= 0)
            return failWith(QStringLiteral("Input File Error"));
    }
    r.begin_data = indexOfKeyword(lines, QStringLiteral("BEGIN_DATA"));
    r.beginDataSet = true;
    if (r.begin_data <= 0) {
        int found = -1;
        for (int i = 1; i < n && found < 0; ++i)
            if (lines.at(i).contains(u"BEGIN_DATA"))
                found = i;
        if (found < 0)
            return failWith(QStringLiteral("Input File Error"));
        r.begin_data = found;
    }
    for (int i = r.begin_data - 1; i >= 0; --i) {
        if (r.number_of_sets != 0 && r.number_of_fields != 0)
            break;
        const QString& line = lines.at(i);
        for (int k = 0; k < 2; ++k) {
            if (!line.contains(k == 0 ? u"NUMBER_OF_SETS" : u"NUMBER_OF_FIELDS"))
                continue;
            const QStringList f = fieldsOrNone(line);
            if (f.size() < 2)
                return failWith(QStringLiteral("List index out of bounds (1)"));
            const std::optional<int> v = referenceStrToInt(f.at(1));
            if (!v)
                return failWith(QStringLiteral("'%1' is not a valid integer value").arg(f.at(1)));
            (k == 0 ? r.number_of_sets : r.number_of_fields) = *v;
            ++r.pumps;
        }
    }
    r.ok = true;
    return r;
}

// Sign, digits with at most one full stop and a digit on one side, optional exponent.
bool referenceIsDecimal(const QString& s) {
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

// CmykPercent against the rule: refused exactly when the trimmed text is no decimal number (or
// too large to hold), else two decimals within half a hundredth of value / 255 * 100.
std::optional<QString> checkedCmykPercent(const QString& value) {
    std::optional<QString> got;
    try {
        got = CmykPercent(value);
    } catch (const Error& e) {
        check(e.message() ==
                  QStringLiteral("'%1' is not a valid floating point value").arg(trimControl(value)),
              "CmykPercent's refusal names the trimmed value", e.message());
    }
    const QString trimmed = trimControl(value);
    if (!referenceIsDecimal(trimmed)) {
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

QString referenceDropSampleId(const QString& line) {
    const qsizetype blank = line.indexOf(u' ');
    return blank < 0 ? line : line.mid(blank + 1);
}

QString referenceSmoothingRow(int number, const QString& cmyk, const QString& labRest,
                              const QString& spectralRest) {
    QString row = QString::number(number) + cmyk + labRest;
    if (!(row.back().unicode() <= u' ') && !spectralRest.isEmpty() &&
        !(spectralRest.front().unicode() <= u' '))
        row += u' ';
    return row + spectralRest;
}

QString smoothingFieldNames() {
    return QStringLiteral("SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B ") +
           SpectralFieldNames().join(u' ') + u' ';
}

struct ReferenceSmoothing {
    QString error; // empty: the build gets to its save step
    QStringList pane;
    QStringList messages;
};

// The smoothing document from two panes and a list of swatch patch lines.
ReferenceSmoothing referenceSmoothing(const QStringList& lab, const QStringList& spectral,
                                      const QStringList& patches, const QString& patchCount) {
    ReferenceSmoothing r;
    if (lab.isEmpty()) {
        r.error = ErrorDisplayText(QStringLiteral("List index out of bounds (0)"));
        return r;
    }
    QStringList out = {lab.at(0),
                       QStringLiteral("ORIGINATOR \"Lumetra\""),
                       QStringLiteral("FILE_DESCRIPTOR \"Ulvar Measurements for Smoothing\""),
                       QStringLiteral("CREATED \"11_Mar_2018 00:00:00\""),
                       QStringLiteral("NUMBER_OF_FIELDS 44"),
                       QStringLiteral("BEGIN_DATA_FORMAT"),
                       smoothingFieldNames(),
                       QStringLiteral("END_DATA_FORMAT"),
                       QStringLiteral("NUMBER_OF_SETS ") + patchCount,
                       QStringLiteral("BEGIN_DATA")};
    const int begin = indexOfKeyword(lab, QStringLiteral("BEGIN_DATA"));
    const int end = indexOfKeyword(lab, QStringLiteral("END_DATA"));
    int p = 0;
    for (int o = begin + 1; o <= end - 1; ++o) {
        if (o >= spectral.size()) {
            r.error = ErrorDisplayText(QStringLiteral("List index out of bounds (%1)").arg(o));
            r.messages.clear();
            return r;
        }
        QString cmyk = QStringLiteral(" 0 0 0 0 ");
        bool ok = true;
        if (p < patches.size()) {
            const QStringList f = fieldsOrNone(patches.at(p));
            cmyk = QStringLiteral(" ");
            for (int k = 0; k < 4 && ok; ++k) {
                const std::optional<QString> percent =
                    k < f.size() ? checkedCmykPercent(f.at(k)) : std::nullopt;
                ok = percent.has_value();
                cmyk += percent.value_or(QString()) + u' ';
            }
        }
        if (!ok) {
            r.messages << QStringLiteral("i_row: %1 cgats_cmyk.count: %2").arg(p).arg(patches.size());
            continue;
        }
        ++p;
        out << referenceSmoothingRow(o - begin, cmyk, referenceDropSampleId(lab.at(o)),
                                     referenceDropSampleId(spectral.at(o)));
    }
    out << QStringLiteral("END_DATA");
    r.pane = out;
    return r;
}

QStringList referenceSwatchPatches(const QStringList& lines) {
    const int begin = indexOfKeyword(lines, QStringLiteral("   Patches {"));
    const int end = indexOfKeyword(lines, QStringLiteral("   }"));
    QStringList patches;
    for (int k = begin + 1; k <= end - 1; ++k) {
        const QString& line = lines.at(k);
        patches << (line.size() <= 7 ? QString() : line.mid(5, line.size() - 7));
    }
    return patches;
}

// Loads bytes as a pane would hold them; an undecodable text gives nullopt.
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

// The saved file is the pane, in the code page, lines joined by CR LF.
void checkSavedFile(const QString& path, const LineList& pane, const char* what) {
    const QByteArray file = ReadBytes(path);
    const QByteArray expected = EncodeDocument(pane);
    check(file == expected, what,
          QStringLiteral("%1 bytes written, %2 expected").arg(file.size()).arg(expected.size()));
    check(file.count("\r\n") == pane.Count() - 1 && file.count('\r') == pane.Count() - 1 &&
              file.count('\n') == pane.Count() - 1,
          "a saved file breaks its lines only between the pane's lines");
}

// Chunk sizes that split marks, CR LF pairs, UTF-8 sequences and UTF-16 units everywhere.
constexpr qsizetype kChunks[] = {1, 2, 3, 5, 8};

// A stream that gives at most a few bytes per read, as a pipe or a slow network share may.
class Dribble : public QIODevice {
public:
    explicit Dribble(const QByteArray& bytes) : m_bytes(bytes) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = std::min<qint64>({maxSize, m_bytes.size() - m_at, 1 + (m_reads++ % 7)});
        std::copy_n(m_bytes.constData() + m_at, n, data);
        m_at += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
    qint64 m_reads = 0;
};

bool isAllowedHandlerError(const QString& e) {
    return e.startsWith(QStringLiteral("List index out of bounds (")) ||
           e == ErrorDisplayText(SpecAssertionText()) || e == QStringLiteral("Out of memory");
}

} // namespace

// ---- the harnesses ----------------------------------------------------------------------------------

void LoadLines(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    const ReferenceLoad ref = referenceLoad(bytes);
    LineList list;
    list.Add(QStringLiteral("earlier"));
    try {
        list.LoadFromBytes(bytes);
    } catch (const Error& e) {
        check(!ref.valid, "a valid text failed to load", e.message());
        check(e.message() ==
                  QStringLiteral(
                      "No mapping for the Unicode character exists in the target multi-byte code page"),
              "a failed load tells why", e.message());
        check(list.lines() == QStringList{QStringLiteral("earlier")}, "a failed load keeps the old lines");
        for (const qsizetype chunk : kChunks) {
            QBuffer buffer;
            buffer.setData(bytes);
            buffer.open(QIODevice::ReadOnly);
            try {
                list.LoadFromStream(buffer, chunk);
                fail("read in chunks, an invalid text loaded");
            } catch (const Error&) {
            }
            check(list.lines() == QStringList{QStringLiteral("earlier")},
                  "a failed chunked load keeps the old lines");
        }
        return;
    }
    check(ref.valid, "an invalid UTF-8 text loaded");
    checkLines(list.lines(), ref.lines, "cutting after decoding gives the same lines");

    for (const qsizetype chunk : kChunks) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        LineList streamed;
        streamed.LoadFromStream(buffer, chunk);
        checkLines(streamed.lines(), list.lines(), "read in chunks, a text gives the same lines");
    }
    Dribble dribble(bytes);
    LineList dribbled;
    dribbled.LoadFromStream(dribble);
    checkLines(dribbled.lines(), list.lines(), "read a few bytes at a time, a text gives the same lines");

    for (const QString& keyword : {QStringLiteral("END_DATA"), QStringLiteral("BEGIN_DATA"),
                                   QStringLiteral("BEGIN_DATA_FORMAT"), LabFormatLine()})
        check(list.IndexOf(keyword) == indexOfKeyword(list.lines(), keyword),
              "IndexOf finds the first equal line", keyword);
    // Non-ASCII lines go through the locale's collation: it must at least be an equivalence.
    if (list.Count() >= 2 && list.Get(0).size() < 256 && list.Get(1).size() < 256) {
        const QString& a = list.Get(0);
        const QString& b = list.Get(1);
        check(LinesEqualIgnoringCase(a, a), "a line equals itself", a);
        check(LinesEqualIgnoringCase(a, b) == LinesEqualIgnoringCase(b, a), "line equality is symmetric");
    }
}

void Tokenize(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return;
    QString line;
    if (data[0] & 1) { // raw UTF-16 code units: other blanks (U+3000, U+00A0) must not separate
        for (std::size_t i = 1; i + 1 < size; i += 2)
            line.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));
    } else {
        for (std::size_t i = 1; i < size; ++i)
            line.append(QChar(static_cast<char16_t>(data[i])));
    }
    check(TrimControl(line) == trimControl(line), "TrimControl trims code points up to U+0020");

    const QStringList earlier = {QStringLiteral("old 1"), QStringLiteral("old 2")};
    LineList fields = listOf(earlier);
    LineTokenize(line, fields);
    const std::optional<QStringList> expected = referenceFields(line);
    checkLines(fields.lines(), expected.value_or(earlier),
               "fields are the trimmed runs between blanks and tabs");

    // The line may be one of the fields of the list it fills.
    if (fields.Count() > 0 && expected) {
        const QString first = fields.Get(0);
        LineTokenize(fields.Get(0), fields);
        checkLines(fields.lines(), referenceFields(first).value_or(*expected),
                   "splitting a field of the same list");
    }
}

void HeaderScan(const std::uint8_t* data, std::size_t size) {
    const std::optional<QStringList> lines = loaded(bytesOf(data, size));
    if (!lines)
        return;
    const LineList doc = listOf(*lines);
    int pumps = 0;
    const CgatsScanResult got = CgatsScan(doc, [&pumps] { ++pumps; });
    const ReferenceScan ref = referenceScan(*lines);
    check(got.ok == ref.ok, "the scan succeeds exactly when the rules say", got.error + u'|' + ref.error);
    check(got.error == ref.error, "the scan fails for the reason the rules give",
          got.error + u'|' + ref.error);
    check(got.end_data == ref.end_data, "end_data",
          QStringLiteral("%1, expected %2").arg(got.end_data).arg(ref.end_data));
    check(got.beginDataSet == ref.beginDataSet, "begin_data is set once looked for");
    if (ref.beginDataSet)
        check(got.begin_data == ref.begin_data, "begin_data",
              QStringLiteral("%1, expected %2").arg(got.begin_data).arg(ref.begin_data));
    check(got.number_of_sets == ref.number_of_sets && got.number_of_fields == ref.number_of_fields,
          "the counts");
    check(pumps == ref.pumps, "one pump per count read");
    if (got.ok)
        check(got.begin_data > 0 && got.end_data > 0, "markers never stand on line 0");

    // The integer conversion on every field of the document.
    int budget = 2000;
    for (const QString& line : *lines) {
        for (const QString& field : fieldsOrNone(line)) {
            if (--budget < 0)
                return;
            const std::optional<int> expected = referenceStrToInt(field);
            try {
                const int value = StrToInt(field);
                check(expected && *expected == value, "StrToInt takes a whole signed 32-bit integer", field);
            } catch (const Error& e) {
                check(!expected, "StrToInt refused an integer", field);
                check(e.message() == QStringLiteral("'%1' is not a valid integer value").arg(field),
                      "StrToInt's refusal names the field", e.message());
            }
        }
    }
}

void Import(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return;
    const int tag = data[0] % 3 + 1;
    const QByteArray bytes = bytesOf(data + 1, size - 1);
    const QString path = scratch("import") + QStringLiteral("/input.txt");
    writeFile(path, bytes);

    // Every kind shows an earlier document, so that "left as it was" means something.
    FormState form;
    form.FormCreate();
    Memo* panes[] = {&form.memoInput, &form.memoCGATSLab, &form.memoOptimized};
    Label* names[] = {&form.labelMeasurementFileName, &form.labelLabFileName, &form.LabelOptimizedFileName};
    NumberBox* patches[] = {&form.NumberBoxPatches, &form.NumberBoxPatchesLab,
                            &form.NumberBoxPatchesOptimized};
    for (int k = 0; k < 3; ++k) {
        panes[k]->Lines.setLines({QStringLiteral("earlier document")});
        names[k]->Text = QStringLiteral("earlier.txt");
        patches[k]->SetValue(7);
    }
    const QStringList paneBefore = panes[tag - 1]->Lines.lines();

    FuzzToolkit toolkit;
    toolkit.open.push_back(path);
    RunGuarded(toolkit, [&] { btnOpenCGATSFileClick(form, toolkit, tag); });

    check(toolkit.errors.isEmpty(), "nothing escapes an import", toolkit.errors.join(u'|'));
    check(!form.RectangleProgress.Visible && !form.Timer.Enabled, "the bar ends hidden, its timer stopped");
    check(toolkit.messages.size() <= 1, "at most one message", toolkit.messages.join(u'|'));
    const Memo& pane = *panes[tag - 1];
    const Label& name = *names[tag - 1];

    const std::optional<QStringList> lines = loaded(bytes);
    const QString formatMessage =
        tag == 1   ? QStringLiteral("Input File Incorrect: The File Should be the Ulvar Spectral CGATS File")
        : tag == 2 ? QStringLiteral("Input File Incorrect: The File Should be the Ulvar L*a*b* CGATS File")
                   : QString();
    QString refused;
    if (!lines)
        refused = QStringLiteral("Input File Incorrect: The File Should be an Ulvar CGATS File");
    else if (tag != 3 && indexOfKeyword(*lines, tag == 1 ? SpectralFormatLine() : LabFormatLine()) <= 0)
        refused = formatMessage;
    if (!refused.isEmpty()) {
        check(toolkit.messages == QStringList{refused}, "a refused file is named so",
              toolkit.messages.join(u'|'));
        checkLines(pane.Lines.lines(), paneBefore, "a refused file leaves the pane");
        check(name.Text == QStringLiteral("earlier.txt") && patches[tag - 1]->Value() == 7,
              "a refused file leaves the labels and boxes");
        return;
    }
    check(name.Text == QStringLiteral("input.txt"), "the name label shows the file's name", name.Text);
    const CgatsScanResult scan = CgatsScan(listOf(*lines));
    if (!scan.ok) {
        check(toolkit.messages.size() == 1 && toolkit.messages.front().startsWith(QStringLiteral("i1 CGATS")),
              "a failed scan shows its message", toolkit.messages.join(u'|'));
        check(pane.Lines.Count() == 0, "a failed scan leaves the pane empty");
        return;
    }
    check(toolkit.messages.isEmpty(), "an accepted file shows no message", toolkit.messages.join(u'|'));
    checkLines(pane.Lines.lines(), *lines, "the pane holds the file's lines");
    NumberBox expected(10000, 0, true, true);
    expected.SetValue(scan.number_of_sets);
    check(patches[tag - 1]->Value() == expected.Value(), "the patches box shows the declared count");
    if (tag == 3)
        check(form.TabItem5.Enabled, "a loaded optimized file opens the spec tab");
    else if (tag == 1)
        check(form.TabItem2.Enabled, "a loaded spectral file opens the L*a*b* tab");
}

void Swatch(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    const std::optional<QStringList> lines = loaded(bytes);
    if (lines) {
        LineList cut = listOf(*lines);
        SwatchPatchesExtract(cut);
        checkLines(cut.lines(), referenceSwatchPatches(*lines), "the patch lines between the markers, cut");
    }

    // The smoothing build taking its CMYK values from this swatch file.
    const QString dir = scratch("swatch");
    QDir().mkpath(dir + QStringLiteral("/CMYK"));
    writeFile(dir + QStringLiteral("/CMYK/Quick.IccSwa"), bytes);
    const InFolder here(dir);

    const int rows =
        lines ? static_cast<int>(std::clamp<qsizetype>(referenceSwatchPatches(*lines).size(), 1, 300)) : 1;
    QStringList lab = {QStringLiteral("CGATS.17"), QStringLiteral("BEGIN_DATA")};
    QStringList spectral = lab;
    for (int i = 1; i <= rows; ++i) {
        lab << QStringLiteral("%1 50.0 1.0 -1.0 ").arg(i);
        spectral << QStringLiteral("%1 0.1 0.2").arg(i);
    }
    lab << QStringLiteral("END_DATA");
    spectral << QStringLiteral("END_DATA");

    FormState form;
    form.FormCreate();
    form.memoCGATSLab.Lines.setLines(lab);
    form.memoInput.Lines.setLines(spectral);
    form.NumberBoxPatches.SetValue(rows);
    form.NumberBoxPatchesLab.SetValue(rows);
    FuzzToolkit toolkit;
    toolkit.save.push_back(std::nullopt);
    const BuildClock clock = fixedClock();
    RunGuarded(toolkit, [&] { btnWriteSmoothingClick(form, toolkit, clock); });

    if (!lines) {
        check(toolkit.errors.size() == 1 && toolkit.errors.front().startsWith(QStringLiteral("No mapping")),
              "an undecodable swatch file stops the build with its reason", toolkit.errors.join(u'|'));
        return;
    }
    const ReferenceSmoothing ref =
        referenceSmoothing(lab, spectral, referenceSwatchPatches(*lines), QString::number(rows));
    check(toolkit.errors.isEmpty(), "nothing escapes a build over a readable swatch",
          toolkit.errors.join(u'|'));
    checkLines(toolkit.messages, ref.messages, "unreadable patch lines are named, one message each");
    checkLines(form.MemoSmoothCGATS.Lines.lines(), ref.pane, "the smoothing document");
}

void SmoothingRows(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> in = parts(bytesOf(data, size), 2);
    const std::optional<QStringList> spectral = loaded(in.at(0));
    const std::optional<QStringList> lab = loaded(in.at(1));
    if (!spectral || !lab)
        return;
    const InFolder here(folderWithSwatches("smoothing"));

    FormState form;
    form.FormCreate();
    form.memoInput.Lines.setLines(*spectral);
    form.memoCGATSLab.Lines.setLines(*lab);
    // The declared count picks the chart; every chart has a swatch file here.
    const CgatsScanResult scan = CgatsScan(form.memoCGATSLab.Lines);
    form.NumberBoxPatches.SetValue(scan.number_of_sets);
    form.NumberBoxPatchesLab.SetValue(scan.number_of_sets);
    form.MemoSmoothCGATS.Lines.setLines({QStringLiteral("previous")});

    FuzzToolkit toolkit;
    toolkit.save.push_back(std::nullopt);
    const BuildClock clock = fixedClock();
    RunGuarded(toolkit, [&] { btnWriteSmoothingClick(form, toolkit, clock); });

    const ReferenceSmoothing ref =
        referenceSmoothing(*lab, *spectral, kSwatchPatches, form.NumberBoxPatches.Text());
    if (!ref.error.isEmpty()) {
        check(toolkit.errors == QStringList{ref.error}, "a build that cannot go on says why",
              toolkit.errors.join(u'|') + QStringLiteral(" / expected ") + ref.error);
        check(form.MemoSmoothCGATS.Lines.Count() == 0, "a stopped build leaves its pane empty");
        return;
    }
    check(toolkit.errors.isEmpty(), "nothing escapes a build that can go on", toolkit.errors.join(u'|'));
    check(toolkit.messages.isEmpty(), "the swatch patch lines all read");
    checkLines(form.MemoSmoothCGATS.Lines.lines(), ref.pane, "the smoothing document");
    check(toolkit.saveDialogs == 1, "the build offers to save");
}

void SpecRows(const std::uint8_t* data, std::size_t size) {
    std::optional<QStringList> lines = loaded(bytesOf(data, size));
    if (!lines)
        return;
    // The build needs more than 100 lines; empty lines after the document change nothing else.
    while (lines->size() <= 100)
        lines->append(QString());
    const QString out = scratch("spec") + QStringLiteral("/out.spec");
    QFile::remove(out);

    FormState form;
    form.FormCreate();
    form.memoOptimized.Lines.setLines(*lines);
    form.memoUlvarSpec.Lines.setLines({QStringLiteral("previous")});
    FuzzToolkit toolkit;
    toolkit.save.push_back(out);
    const BuildClock clock = fixedClock();
    RunGuarded(toolkit, [&] { btnWriteUlvarClick(form, toolkit, clock); });

    const QStringList& doc = *lines;
    const QStringList pane = form.memoUlvarSpec.Lines.lines();
    check(!pane.isEmpty() && pane.front().startsWith(QStringLiteral("; Created: ")),
          "the creation line comes first");

    // p: the first field name starting with "SPEC" on the line after BEGIN_DATA_FORMAT.
    const int h = indexOfKeyword(doc, QStringLiteral("BEGIN_DATA_FORMAT"));
    const QStringList names = fieldsOrNone(h + 1 < doc.size() ? doc.at(h + 1) : QString());
    QString buffer;
    int p = 0;
    for (int i = 0; i < names.size() && buffer != QLatin1String("SPEC"); ++i) {
        p = i + 1;
        buffer = trimControl(names.at(i).left(4));
    }
    if (buffer != QLatin1String("SPEC")) {
        check(toolkit.errors == QStringList{ErrorDisplayText(SpecAssertionText())},
              "no spectral field: the assertion", toolkit.errors.join(u'|'));
        check(pane.size() == 1 && toolkit.saveDialogs == 0 && !QFileInfo::exists(out), "no rows, no file");
        check(form.RectangleProgress.Visible && form.RectangleProgress.Width == 12 && form.Timer.Enabled,
              "the bar stays at 12");
        return;
    }

    QStringList expected = {pane.front()};
    QStringList messages;
    double width = 12;
    const int first = indexOfKeyword(doc, QStringLiteral("BEGIN_DATA")) + 1;
    const int end = indexOfKeyword(doc, QStringLiteral("END_DATA"));
    for (int r = first; r <= end - 1; ++r) {
        const QStringList f = fieldsOrNone(doc.at(r));
        if (f.size() < p) {
            messages << QStringLiteral("i_row:%1").arg(r) << buffer;
            continue;
        }
        buffer = f.mid(p - 1).join(u'\t');
        expected << buffer;
        if (r % 20 == 0)
            width += 1;
    }
    expected << QString(); // added by the confirmed save
    check(toolkit.errors.isEmpty(), "nothing escapes a spec build", toolkit.errors.join(u'|'));
    checkLines(toolkit.messages, messages, "short rows: their index and the line buffer");
    checkLines(pane, expected, "the spec document");
    check(form.labelUlvarSpecFile.Text == out, "the path display shows the saved file");
    checkSavedFile(out, form.memoUlvarSpec.Lines, "the spec file holds its pane");
    check(form.RectangleProgress.Width == width, "the bar grows at every twentieth line index");
    check(!form.RectangleProgress.Visible && !form.Timer.Enabled, "the bar ends hidden");
}

void Road(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> in = parts(bytesOf(data, size), 3);
    const QString dir = folderWithSwatches("road");
    const InFolder here(dir);
    const char* const files[] = {"spectral.txt", "lab.txt", "optimized.txt"};
    for (int k = 0; k < 3; ++k)
        writeFile(dir + u'/' + QLatin1String(files[k]), in.at(k));
    const QString smoothOut = dir + QStringLiteral("/Smooth.txt");
    const QString specOut = dir + QStringLiteral("/Ulvar.spec");
    QFile::remove(smoothOut);
    QFile::remove(specOut);

    FormState form;
    form.FormCreate();
    FuzzToolkit toolkit;
    for (int tag = 1; tag <= 3; ++tag) {
        toolkit.open.push_back(dir + u'/' + QLatin1String(files[tag - 1]));
        RunGuarded(toolkit, [&] { btnOpenCGATSFileClick(form, toolkit, tag); });
    }
    check(toolkit.errors.isEmpty(), "nothing escapes the imports", toolkit.errors.join(u'|'));
    check(!form.RectangleProgress.Visible, "the imports end with the bar hidden");

    const BuildClock clock = fixedClock();
    // A build that stops before its dialog must not leave its answer to the next one.
    toolkit.save = {smoothOut};
    RunGuarded(toolkit, [&] { btnWriteSmoothingClick(form, toolkit, clock); });
    toolkit.save = {specOut};
    RunGuarded(toolkit, [&] { btnWriteUlvarClick(form, toolkit, clock); });

    for (const QString& e : toolkit.errors)
        check(isAllowedHandlerError(e), "only the errors a user is meant to see", e);
    if (form.LabelSmoothCGATS.Text == smoothOut)
        checkSavedFile(smoothOut, form.MemoSmoothCGATS.Lines, "the smoothing file holds its pane");
    else
        check(!QFileInfo::exists(smoothOut), "no smoothing file without its path shown");
    if (form.labelUlvarSpecFile.Text == specOut)
        checkSavedFile(specOut, form.memoUlvarSpec.Lines, "the spec file holds its pane");
    else
        check(!QFileInfo::exists(specOut), "no spec file without its path shown");
    for (const Memo* pane : {&form.MemoSmoothCGATS, &form.memoUlvarSpec})
        for (const QString& line : pane->Lines.lines())
            check(!line.contains(u'\r') && !line.contains(u'\n'),
                  "no line of a built document holds a break");
}

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = {
        {"lines", LoadLines}, {"tokenize", Tokenize},       {"scan", HeaderScan}, {"import", Import},
        {"swatch", Swatch},   {"smoothing", SmoothingRows}, {"spec", SpecRows},   {"road", Road},
    };
    return targets;
}

} // namespace lumetra::fuzz
