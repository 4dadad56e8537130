#include "HeadlessToolkit.h"

#include "Controls.h"

void HeadlessToolkit::print(const QString& text) {
    QString line = text;
    line.replace(u'\r', u'\n');
    const QByteArray bytes = line.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_out);
    std::fputc('\n', m_out);
    std::fflush(m_out);
}

void HeadlessToolkit::ShowMessage(const QString& text) {
    print(text);
}

void HeadlessToolkit::ShowError(const QString& text) {
    print(text);
}

bool HeadlessToolkit::ExecuteOpen(OpenDialog& dialog) {
    if (m_open.empty())
        return false;
    dialog.FileName = m_open.front();
    m_open.pop_front();
    return true;
}

bool HeadlessToolkit::ExecuteSave(SaveDialog& dialog) {
    if (m_save.empty())
        return false;
    // The path is taken as given: a script names its output exactly, no extension is added.
    m_keepNext = !m_save.front().has_value();
    dialog.FileName = m_save.front().value_or(QStringLiteral("-"));
    m_save.pop_front();
    return true;
}

void HeadlessToolkit::ShowDetail(const QString& text) {
    print(QStringLiteral("detail: ") + text);
}

bool HeadlessToolkit::TakeSavedDocument(const SaveDialog&, const QByteArray& bytes) {
    if (!m_keepNext)
        return false;
    m_keepNext = false;
    m_kept = bytes;
    return true;
}
