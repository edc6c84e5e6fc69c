// kestrova_make_manual: turns the manual's Markdown chapters and the
// pictures they show into one PDF file, with a title page, the contents,
// each chapter on a new page and the page numbers at the foot.
//
//   kestrova_make_manual --out FILE.PDF --base DIR --version V CHAPTER.md...
//
// Pictures are named in the chapters relative to DIR; a picture that cannot
// be read fails the build rather than leave a hole in the manual.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kResolution = 300;     // dots per inch of the PDF's coordinates
constexpr double kScreenDpi = 96.0;  // the pictures were taken at this scale
constexpr double kPictureScale = 0.9;
constexpr double kPictureMostOfPage = 0.45;  // of the page's height
const QColor kHeadingColour(0, 0, 128);

struct Options {
  QString out;
  QString base;
  QString version;
  QStringList chapters;
};

bool ParseArguments(const QStringList& args, Options& o) {
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == QStringLiteral("--out") && hasValue) {
      o.out = args[++i];
    } else if (a == QStringLiteral("--base") && hasValue) {
      o.base = args[++i];
    } else if (a == QStringLiteral("--version") && hasValue) {
      o.version = args[++i];
    } else if (a.startsWith(QStringLiteral("--"))) {
      return false;
    } else {
      o.chapters << a;
    }
  }
  return !o.out.isEmpty() && !o.base.isEmpty() && !o.chapters.isEmpty();
}

void Fail(const QString& message) { std::fprintf(stderr, "kestrova_make_manual: %s\n", qPrintable(message)); }

// Every chapter begins a page; headings take the manual's colour.
void StyleHeadings(QTextDocument& doc) {
  bool first = true;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const int level = b.blockFormat().headingLevel();
    if (level == 0) continue;
    QTextCursor c(b);
    QTextBlockFormat bf;
    if (level == 1 && !first) bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    bf.setTopMargin(level == 1 ? 0 : 14);
    bf.setBottomMargin(6);
    c.mergeBlockFormat(bf);
    c.select(QTextCursor::BlockUnderCursor);
    QTextCharFormat cf;
    cf.setForeground(kHeadingColour);
    c.mergeCharFormat(cf);
    if (level == 1) first = false;
  }
}

// Tables in thin single lines with room in their cells.
void StyleTables(QTextDocument& doc) {
  QTextCursor c(&doc);
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table) continue;
    QTextTableFormat f = table->format();
    f.setBorderCollapse(true);
    f.setBorder(1);
    f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    f.setBorderBrush(QBrush(Qt::gray));
    f.setCellPadding(3);
    f.setCellSpacing(0);
    table->setFormat(f);
  }
}

// Loads each picture the chapters show and sizes it for the page: at the
// scale it had on screen, made smaller when wider than the text or taller
// than about half a page.
bool PlacePictures(QTextDocument& doc, const QString& base, QSizeF page) {
  const qreal devicePerScreenPixel = kResolution / kScreenDpi;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (!f.charFormat().isImageFormat()) continue;
      QTextImageFormat image = f.charFormat().toImageFormat();
      const QString path = base + QLatin1Char('/') + image.name();
      const QImage picture(path);
      if (picture.isNull()) {
        Fail(QStringLiteral("cannot read the picture %1").arg(path));
        return false;
      }
      doc.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
      const qreal ratio = qreal(picture.height()) / picture.width();
      const qreal width = std::min({picture.width() * devicePerScreenPixel * kPictureScale, page.width(),
                                    page.height() * kPictureMostOfPage / ratio});
      // The document counts a picture's size in pixels of a 96 dpi screen
      // and scales it to the device it lays out for.
      image.setWidth(width / devicePerScreenPixel);
      image.setHeight(width * ratio / devicePerScreenPixel);
      QTextCursor c(&doc);
      c.setPosition(f.position());
      c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
      c.setCharFormat(image);
    }
  }
  return true;
}

// A picture never straddles two pages: the paragraph holding one that
// would do so begins a new page instead. A new page moves what follows, so
// the document is laid out again after each such paragraph, and the next
// one looked for from there.
void KeepPicturesWhole(QTextDocument& doc, qreal pageHeight) {
  const auto straddling = [&](const QTextBlock& b) {
    bool picture = false;
    for (auto it = b.begin(); !it.atEnd(); ++it) picture = picture || it.fragment().charFormat().isImageFormat();
    if (!picture || b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) return false;
    const QRectF r = doc.documentLayout()->blockBoundingRect(b);
    return std::floor(r.top() / pageHeight) != std::floor((r.bottom() - 1) / pageHeight);
  };
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (!straddling(b)) continue;
    QTextBlockFormat f = b.blockFormat();
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(b).setBlockFormat(f);
    doc.markContentsDirty(0, doc.characterCount());
  }
}

struct Chapter {
  QString title;
  int page;  // numbered from the title page, which is page 1
};

void DrawTitlePage(QPainter& p, const QRectF& area, const QString& version, const std::vector<Chapter>& chapters) {
  p.save();
  p.setPen(kHeadingColour);
  QFont title(QStringLiteral("Liberation Sans"), 36, QFont::Bold);
  p.setFont(title);
  qreal y = area.height() * 0.12;
  p.drawText(QRectF(0, y, area.width(), area.height() * 0.1), Qt::AlignHCenter | Qt::AlignBottom,
             QStringLiteral("Kestrova"));
  y += area.height() * 0.11;
  p.setFont(QFont(QStringLiteral("Liberation Sans"), 16));
  p.drawText(QRectF(0, y, area.width(), area.height() * 0.05), Qt::AlignHCenter,
             QStringLiteral("Incident Report Writing Software"));
  y += area.height() * 0.05;
  p.setFont(QFont(QStringLiteral("Liberation Sans"), 12));
  p.setPen(Qt::black);
  p.drawText(QRectF(0, y, area.width(), area.height() * 0.04), Qt::AlignHCenter,
             QStringLiteral("Manual for version %1").arg(version));
  y += area.height() * 0.1;

  p.setFont(QFont(QStringLiteral("Liberation Sans"), 14, QFont::Bold));
  p.setPen(kHeadingColour);
  const qreal line = area.height() * 0.028;
  const qreal left = area.width() * 0.15;
  const qreal right = area.width() * 0.85;
  p.drawText(QRectF(left, y, right - left, line * 1.5), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Contents"));
  y += line * 1.8;
  p.setFont(QFont(QStringLiteral("Liberation Sans"), 11));
  p.setPen(Qt::black);
  for (const Chapter& c : chapters) {
    const QRectF row(left, y, right - left, line);
    p.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, c.title);
    p.drawText(row, Qt::AlignRight | Qt::AlignVCenter, QString::number(c.page));
    y += line;
  }
  p.restore();
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  Options o;
  if (!ParseArguments(QGuiApplication::arguments(), o)) {
    Fail(QStringLiteral("usage: kestrova_make_manual --out FILE.PDF --base DIR [--version V] CHAPTER.md..."));
    return 2;
  }

  QString markdown;
  for (const QString& name : o.chapters) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
      Fail(QStringLiteral("cannot read %1").arg(name));
      return 1;
    }
    markdown += QString::fromUtf8(f.readAll()) + QStringLiteral("\n\n");
  }

  const QString temporary = o.out + QStringLiteral(".part");
  QPdfWriter writer(temporary);
  writer.setResolution(kResolution);
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 15), QPageLayout::Millimeter));
  writer.setTitle(QStringLiteral("Kestrova Manual"));
  writer.setCreator(QStringLiteral("Kestrova %1").arg(o.version));

  const QRectF paintRect = writer.pageLayout().paintRectPixels(kResolution);
  const qreal footer = kResolution * 0.35;  // room for the page number
  const QSizeF page(paintRect.width(), paintRect.height() - footer);

  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&writer);
  doc.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 10));
  doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
  StyleHeadings(doc);
  StyleTables(doc);
  if (!PlacePictures(doc, o.base, page)) return 1;
  doc.setPageSize(page);
  doc.setDocumentMargin(0);
  KeepPicturesWhole(doc, page.height());

  // Where each chapter begins, for the contents.
  std::vector<Chapter> chapters;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (b.blockFormat().headingLevel() != 1) continue;
    const qreal top = doc.documentLayout()->blockBoundingRect(b).top();
    chapters.push_back({b.text(), 2 + static_cast<int>(std::floor(top / page.height()))});
  }

  QPainter p;
  if (!p.begin(&writer)) {
    Fail(QStringLiteral("cannot write %1").arg(temporary));
    return 1;
  }
  DrawTitlePage(p, QRectF(QPointF(0, 0), paintRect.size()), o.version, chapters);
  p.setFont(QFont(QStringLiteral("Liberation Sans"), 9));
  for (int i = 0; i < doc.pageCount(); ++i) {
    writer.newPage();
    p.save();
    p.translate(0, -i * page.height());
    doc.drawContents(&p, QRectF(QPointF(0, i * page.height()), page));
    p.restore();
    const QRectF foot(0, page.height(), page.width(), footer);
    p.setPen(Qt::darkGray);
    p.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Kestrova %1 Manual").arg(o.version));
    p.drawText(foot, Qt::AlignRight | Qt::AlignBottom, QString::number(i + 2));
  }
  if (!p.end()) {
    Fail(QStringLiteral("cannot finish %1").arg(temporary));
    return 1;
  }
  QFile::remove(o.out);
  if (!QFile::rename(temporary, o.out)) {
    Fail(QStringLiteral("cannot put %1 in place").arg(o.out));
    return 1;
  }
  return 0;
}
