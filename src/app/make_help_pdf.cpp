// Lays out the user guide from its Markdown source into the PDF the program ships as "Help.pdf".
// Run at build time: make_help_pdf <guide.md> <Help.pdf>

#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_help_pdf <guide.md> <Help.pdf>\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument guide;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(10.5);
    guide.setDefaultFont(font);
    guide.setMarkdown(QString::fromUtf8(source.readAll()));

    // Written whole under a temporary name, so an interrupted build leaves no half a guide.
    QSaveFile target(QString::fromLocal8Bit(argv[2]));
    if (!target.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    {
        QPdfWriter pdf(&target);
        pdf.setTitle(QStringLiteral("Card Designer Guide"));
        pdf.setCreator(QStringLiteral("Card Designer"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        guide.print(&pdf);
    }
    return target.commit() ? 0 : 1;
}
