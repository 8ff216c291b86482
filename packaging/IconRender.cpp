// Renders the program's SVG icon into the PNG sizes of the hicolor theme at build time, so the
// PNGs never drift from the one drawing: IconRender <icon.svg> <out-folder> <name> <size>...
// writes <out-folder>/<size>x<size>/<name>.png for each size.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: IconRender <icon.svg> <out-folder> <name> <size>...\n");
    return 2;
  }
  // No display is needed to draw into an image.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "IconRender: cannot read %s\n", argv[1]);
    return 1;
  }
  const QDir out(QString::fromLocal8Bit(argv[2]));
  const QString name = QString::fromLocal8Bit(argv[3]);
  for (int i = 4; i < argc; ++i) {
    const int size = QByteArray(argv[i]).toInt();
    if (size <= 0 || size > 1024) {
      std::fprintf(stderr, "IconRender: bad size %s\n", argv[i]);
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    const QString folder = QStringLiteral("%1x%1").arg(size);
    const QString path = out.filePath(folder + u'/' + name + QStringLiteral(".png"));
    if (!out.mkpath(folder) || !image.save(path, "PNG")) {
      std::fprintf(stderr, "IconRender: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
