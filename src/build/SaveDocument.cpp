// Saved documents are plain 8-bit text for Windows tools: Windows-1252, lines separated by CR LF,
// no line break after the last line, no byte-order mark. A pane whose last line is empty therefore
// gives a file whose every line ends in CR LF.

#include "SaveDocument.h"

#include "Controls.h"
#include "Error.h"
#include "LineList.h"
#include "Toolkit.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <bitset>

namespace {

const char kCodePage[] = "windows-1252";

// The BMP characters the code page holds, read off its own decoder once.
const std::bitset<0x10000>& encodable() {
    static const std::bitset<0x10000> table = [] {
        std::bitset<0x10000> t;
        for (unsigned c = 0; c < 0x80; ++c)
            t.set(c);
        QStringDecoder decoder(kCodePage, QStringDecoder::Flag::Stateless);
        for (int b = 0x80; b < 0x100; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            if (s.size() == 1 && s.at(0) != QChar::ReplacementCharacter)
                t.set(s.at(0).unicode());
        }
        return t;
    }();
    return table;
}

bool fits(char32_t c) {
    return c < 0x10000 && encodable().test(c);
}

bool fitsAll(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80 && !fits(c.unicode()))
            return false;
    return true;
}

bool isMark(char32_t c) {
    const QChar::Category cat = QChar::category(c);
    return cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining ||
           cat == QChar::Mark_Enclosing;
}

// What stands in for a character the code page lacks.
QString standIn(char32_t c) {
    if (QChar::category(c) == QChar::Separator_Space)
        return QStringLiteral(" ");
    // A diacritic left over after composition: its base letter has already been written.
    if (isMark(c))
        return QString();
    QString base;
    for (QChar d : QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D))
        if (!isMark(d.unicode()))
            base += d;
    bool usable = !base.isEmpty();
    for (QChar d : base)
        usable = usable && d.isLetter() && fits(d.unicode());
    return usable ? base : QStringLiteral("?");
}

// Replaces what the code page lacks. Composing first keeps a letter written with a combining
// accent ("e" + U+0301) as the one character the code page has for it.
QString fitToCodePage(const QString& text) {
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(composed.size());
    const qsizetype n = composed.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = composed.at(i);
        char32_t cp = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && composed.at(i + 1).isLowSurrogate())
            cp = QChar::surrogateToUcs4(c, composed.at(++i));
        if (fits(cp))
            out += c;
        else
            out += standIn(cp);
    }
    return out;
}

// The system's text for a failure, without the trailing white space and full stops some carry.
QString reasonText(QString reason) {
    while (!reason.isEmpty() && (reason.back().unicode() <= u' ' || reason.back() == u'.'))
        reason.chop(1);
    return reason;
}

Error cannotCreate(const QString& path, const QString& reason) {
    return Error(QStringLiteral("Cannot create file \"%1\". %2")
                     .arg(QFileInfo(path).absoluteFilePath(), reasonText(reason)));
}

} // namespace

QByteArray EncodeDocument(const LineList& lines) {
    QString text = lines.lines().join(QStringLiteral("\r\n"));
    if (!fitsAll(text))
        text = fitToCodePage(text);
    QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
    if (!encoder.isValid())
        throw Error(QStringLiteral("The text encoding %1 is not available").arg(QLatin1String(kCodePage)));
    QByteArray bytes = encoder.encode(text);
    return bytes;
}

void WriteDocumentFile(const QString& path, const QByteArray& bytes) {
    // The new text goes to a temporary file beside the target and replaces it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        throw Error(QStringLiteral("Stream write error"));
    }
    if (!file.commit()) {
        if (file.error() == QFileDevice::RenameError)
            throw cannotCreate(path, file.errorString());
        throw Error(QStringLiteral("Stream write error"));
    }
}

QString SaveTimestamp(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::asprintf("%04d%02d%02d_%02d%02d%02d", d.year(), d.month(), d.day(), t.hour(), t.minute(),
                             t.second());
}

QString BlockersQuestion(const QStringList& blockers) {
    QString text = QStringLiteral("Preflight found errors: the file would be wrong.");
    for (const QString& b : blockers)
        text += QStringLiteral("\r\r") + b;
    return text;
}

bool RunSaveStep(const SaveStep& step, Toolkit& toolkit, const QDateTime& now) {
    step.dialog.FileName = step.prefix + SaveTimestamp(now);
    step.dialog.DefaultExt = step.defaultExt;
    if (!step.blockers.isEmpty() &&
        !toolkit.AskQuestion(BlockersQuestion(step.blockers), QStringLiteral("Save anyway"),
                             QStringLiteral("Cancel")))
        return false;
    if (!toolkit.ExecuteSave(step.dialog))
        return false;
    toolkit.Yield();
    if (step.appendEmptyLine)
        step.pane.Lines.Add(QString());
    WriteDocumentFile(step.dialog.FileName, EncodeDocument(step.pane.Lines));
    step.pathDisplay.Text = step.dialog.FileName;
    return true;
}
