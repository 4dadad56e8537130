// Renders SVG pictures to PNG at the sizes given, through Qt's SVG image plugin:
//   render-icons OUT_DIR SIZE... -- FILE.svg...   writes OUT_DIR/<name>-<size>.png
// The Windows build ships without SVG support; tools/render-icons.sh makes the PNGs it uses.
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const qsizetype split = args.indexOf(QStringLiteral("--"));
    if (args.size() < 4 || split < 2) {
        std::fprintf(stderr, "usage: render-icons OUT_DIR SIZE... -- FILE.svg...\n");
        return 2;
    }
    const QString out = args.first();
    for (const QString& file : args.mid(split + 1)) {
        for (const QString& size : args.mid(1, split - 1)) {
            QImageReader reader(file, "svg");
            reader.setScaledSize(QSize(size.toInt(), size.toInt()));
            const QImage image = reader.read();
            const QString target = out + u'/' + QFileInfo(file).completeBaseName() + u'-' + size + QStringLiteral(".png");
            if (image.isNull() || !image.save(target, "PNG")) {
                std::fprintf(stderr, "render-icons: %s: %s\n", qPrintable(file), qPrintable(reader.errorString()));
                return 1;
            }
        }
    }
    return 0;
}
