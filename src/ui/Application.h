#pragma once

#include <QByteArray>
#include <QStringList>

#include <memory>

class QApplication;

// The application object of the window program (and of the window tests). Made here rather than
// in place because Wine needs a platform option that Qt reads only while the object is made.
std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv);

// The platform (QT_QPA_PLATFORM's form) to ask Qt for, or empty for Qt's own choice. Under Wine,
// the GDI font engine reports glyph bounds several lines tall for the font Wine puts in place of
// the system's (a DejaVu face where Wine's own fonts are not installed), and a QLineEdit then
// centres its text outside its box: the FreeType engine measures them right. Windows itself,
// Linux, and a platform the user chose (QT_QPA_PLATFORM, -platform) are left as they are.
QByteArray ChosenPlatform(bool underWine, const QStringList& arguments, const QByteArray& platformVariable);
