#include "QtToolkit.h"

#include "Controls.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QUrl>

QStringList QtNameFilters(const QString& filter) {
    QStringList out;
    for (const FilterEntry& entry : ParseFilter(filter)) {
        // An entry without masks still offers every file rather than none.
        const QString masks = entry.masks.isEmpty() ? QStringLiteral("*") : entry.masks.join(u' ');
        out.append(QStringLiteral("%1 (%2)").arg(entry.label, masks));
    }
    return out;
}

int QtFilterPosition(int filterIndex, qsizetype count) {
    if (filterIndex <= 1 || filterIndex > count)
        return 0;
    return filterIndex - 1;
}

QString QtMessageText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

namespace {

// A plain-text box with one OK button: file names and file contents never turn into markup.
void showBox(QWidget* owner, const QString& title, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(QtMessageText(text));
    box.setIcon(icon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

void applyFilter(QFileDialog& dlg, const QString& filter, int filterIndex) {
    const QStringList filters = QtNameFilters(filter);
    if (filters.isEmpty())
        return;
    dlg.setNameFilters(filters);
    dlg.selectNameFilter(filters.at(QtFilterPosition(filterIndex, filters.size())));
}

} // namespace

void QtToolkit::ShowMessage(const QString& text) {
    showBox(m_owner, ApplicationTitle(QCoreApplication::applicationFilePath()), text, QMessageBox::NoIcon);
}

void QtToolkit::ShowError(const QString& text) {
    showBox(m_owner, QStringLiteral("Error"), text, QMessageBox::Critical);
}

namespace {

// Offers fileName, shows the dialog, and on confirmation puts the chosen path into fileName.
bool runFileDialog(QFileDialog& dlg, QString& fileName) {
    if (!fileName.isEmpty())
        dlg.selectFile(fileName);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dlg.selectedFiles();
    if (chosen.isEmpty())
        return false;
    // The system's own form (on Windows "C:\\Charts\\lab.txt"): the name is shown as it is.
    fileName = QDir::toNativeSeparators(chosen.first());
    return true;
}

} // namespace

bool QtToolkit::ExecuteOpen(OpenDialog& dialog) {
    QFileDialog dlg(m_owner);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    applyFilter(dlg, dialog.Filter, dialog.FilterIndex);
    return runFileDialog(dlg, dialog.FileName);
}

bool QtToolkit::ExecuteSave(SaveDialog& dialog) {
    QFileDialog dlg(m_owner);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !(dialog.Options & ofOverwritePrompt));
    dlg.setDefaultSuffix(dialog.DefaultExt);
    applyFilter(dlg, dialog.Filter, dialog.FilterIndex);
    return runFileDialog(dlg, dialog.FileName);
}

void QtToolkit::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtToolkit::Yield() {
    QThread::yieldCurrentThread();
}

bool QtToolkit::AskQuestion(const QString& text, const QString& yes, const QString& no) {
    QMessageBox box(m_owner);
    box.setWindowTitle(ApplicationTitle(QCoreApplication::applicationFilePath()));
    box.setTextFormat(Qt::PlainText);
    box.setText(QtMessageText(text));
    box.setIcon(QMessageBox::Warning);
    QPushButton* yesButton = box.addButton(yes, QMessageBox::AcceptRole);
    QPushButton* noButton = box.addButton(no, QMessageBox::RejectRole);
    // Return and Escape both keep the file unsaved: saving a file known to be wrong takes a click.
    box.setDefaultButton(noButton);
    box.setEscapeButton(noButton);
    box.exec();
    return box.clickedButton() == yesButton;
}

void QtToolkit::OpenAddress(const QString& address) {
    // The shell's answer is ignored: a page that cannot be opened shows nothing.
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
