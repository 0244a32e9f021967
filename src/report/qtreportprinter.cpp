#include "qtreportprinter.h"

#include "common/failure.h"
#include "files/atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

constexpr double twipsPerInch = 1440;

// Fine enough that the 4-pixel lines look as on a common laser printer.
constexpr int pdfResolution = 600;

} // namespace

std::unique_ptr<QtReportPrinter> QtReportPrinter::forDefaultPrinter(const QString &documentName)
{
    auto printer =
        std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer->setDocName(documentName);
    return std::unique_ptr<QtReportPrinter>(new QtReportPrinter(std::move(printer), {}));
}

std::unique_ptr<QtReportPrinter> QtReportPrinter::forPdf(const QString &path)
{
    return std::unique_ptr<QtReportPrinter>(new QtReportPrinter(nullptr, path));
}

QtReportPrinter::QtReportPrinter(std::unique_ptr<QPrinter> printer, QString pdfPath)
    : m_printer(printer.get()), m_pdfPath(std::move(pdfPath))
{
    if (printer) {
        m_device = std::move(printer);
        return;
    }
    // Drawn into memory and written whole at the end: Qt's PDF engine does not report
    // a write that fails, so a full disk would leave a cut PDF taken for a report.
    auto pdf = std::make_unique<QPdfWriter>(&m_pdfBytes);
    pdf->setResolution(pdfResolution);
    pdf->setTitle(QFileInfo(m_pdfPath).completeBaseName());
    // A4 with the unprintable rim of an ordinary office printer.
    pdf->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    m_device = std::move(pdf);
}

QtReportPrinter::~QtReportPrinter()
{
    // A document abandoned half-way is not handed to the printer, nor left as a file.
    if (m_painter.isActive()) {
        if (m_printer)
            m_printer->abort();
        m_painter.end();
    }
}

void QtReportPrinter::beginIfNeeded()
{
    if (m_painter.isActive())
        return;
    if (m_ended)
        throw Failure(QStringLiteral("Der Bericht ist bereits abgeschlossen."));
    if (!m_pdfPath.isEmpty()) {
        m_pdfFile = std::make_unique<PendingFile>(m_pdfPath);
        m_pdfBytes.open(QIODevice::WriteOnly);
    }
    if (!m_painter.begin(m_device.get())) {
        if (!m_pdfPath.isEmpty())
            throw Failure(QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden.")
                              .arg(QDir::toNativeSeparators(m_pdfPath)));
        throw Failure(QStringLiteral("Der Drucker kann den Bericht nicht annehmen."));
    }
    m_defaultFont = m_painter.font();
    m_painter.setFont(currentFont());
    m_painter.setBrush(Qt::NoBrush);
}

QFont QtReportPrinter::currentFont() const
{
    QFont font = m_defaultFont;
    if (m_textSize > 0)
        font.setPointSizeF(m_textSize);
    return font;
}

double QtReportPrinter::twipsPerDevicePixel() const
{
    return twipsPerInch / m_device->logicalDpiY();
}

// Twips are converted point by point instead of scaling the painter: a scaled painter
// would scale the fonts a second time.
QPointF QtReportPrinter::device(QPointF twips) const
{
    return twips / twipsPerDevicePixel();
}

QPen QtReportPrinter::pen(Rgb color) const
{
    QPen pen(QColor(color.red, color.green, color.blue));
    pen.setWidth(m_penWidth);
    return pen;
}

void QtReportPrinter::setTextSize(double points)
{
    m_textSize = points;
    if (m_painter.isActive())
        m_painter.setFont(currentFont());
}

// The one drawing setting is the line width in printer pixels, for every line and
// box outline drawn after it (the report sets 4). Boxes stay unfilled.
void QtReportPrinter::setDrawingSetting(int value)
{
    m_penWidth = value;
}

void QtReportPrinter::printLine(const QString &text)
{
    beginIfNeeded();
    const QFontMetricsF metrics(m_painter.font(), m_device.get());
    const double lineHeight = metrics.height() * twipsPerDevicePixel();
    const double pageHeight = m_device->height() * twipsPerDevicePixel();
    if (m_position.y() + lineHeight > pageHeight && m_position.y() > 0) {
        if (!m_device->newPage())
            throw Failure(QStringLiteral("Der Drucker kann keine neue Seite beginnen."));
        m_position = {0, 0};
    }
    // drawText places the baseline; the line's top belongs at the current position.
    const QPointF top = device(m_position);
    m_painter.setPen(pen({0, 0, 0}));
    m_painter.drawText(QPointF(top.x(), top.y() + metrics.ascent()), text);
    m_position = {0, m_position.y() + lineHeight};
}

void QtReportPrinter::drawLine(QPoint from, QPoint to)
{
    beginIfNeeded();
    m_painter.setPen(pen({0, 0, 0}));
    m_painter.drawLine(device(from), device(to));
    m_position = to;
}

void QtReportPrinter::drawBox(QPoint corner1, QPoint corner2, Rgb outline)
{
    beginIfNeeded();
    m_painter.setPen(pen(outline));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRectF(device(corner1), device(corner2)).normalized());
    m_position = corner2;
}

void QtReportPrinter::endDocument()
{
    if (m_painter.isActive())
        m_painter.end();
    if (m_pdfFile) {
        m_pdfBytes.close();
        m_pdfFile->write(m_pdfBytes.data());
        m_pdfFile->placeReplacing();
        m_pdfFile.reset();
    }
    m_ended = true;
}

QPoint QtReportPrinter::currentPosition() const
{
    return m_position.toPoint();
}

QString QtReportPrinter::savedFile() const
{
    return m_ended ? m_pdfPath : QString();
}

std::unique_ptr<ReportPrinter> QtReportPrinterProvider::begin(const QString &pdfPath)
{
    // Without an installed printer Qt would quietly aim at a nameless PDF and fail.
    if (QPrinterInfo::defaultPrinter().isNull())
        return QtReportPrinter::forPdf(pdfPath);
    return QtReportPrinter::forDefaultPrinter(QFileInfo(pdfPath).completeBaseName());
}
