// Writes the user guide as HTML for the desktop's browser: the Markdown
// source through Qt's reader, its pictures referred to as the source does.

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s GUIDE.md GUIDE.html\n", argv[0]);
    return 2;
  }
  // Fonts need a GUI application; no screen is needed for that.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QFile source(QString::fromLocal8Bit(argv[1]));
  if (!source.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  QTextDocument guide;
  guide.setMarkdown(QString::fromUtf8(source.readAll()));
  guide.setMetaInformation(QTextDocument::DocumentTitle, "Pelt user guide");
  // Qt writes its own small widget font into the body; a page reads better.
  QString html = guide.toHtml();
  html.replace(
      "</head>",
      "<style>body { font-size: 12pt !important; max-width: 52em; margin: 1em auto; "
      "padding: 0 1em; } td { padding: 2px 8px; } img { max-width: 100%; }</style></head>");
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly) || out.write(html.toUtf8()) < 0) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
