#pragma once

#include "reportprinter.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QString>

#include <memory>

class PendingFile;
class QPagedPaintDevice;
class QPrinter;

// The report on paper: QPainter on a QPrinter, positions in twips from the top-left
// corner of the printable area, text in the printer's default font. The document
// begins with the first output; a text line that would run past the bottom of the
// printable area goes to the top of a new page instead. Throws Failure when the
// printer or the file cannot take the document. A PDF is put in place whole at the
// end of the document, or not at all.
class QtReportPrinter : public ReportPrinter
{
public:
    // The system's default printer; documentName is what its queue shows.
    static std::unique_ptr<QtReportPrinter> forDefaultPrinter(const QString &documentName);
    // An A4 PDF at path, replacing a file of that name once it is complete. The
    // folder must take a new file at the first output; the whole PDF, at the end.
    static std::unique_ptr<QtReportPrinter> forPdf(const QString &path);

    ~QtReportPrinter() override;

    void setTextSize(double points) override;
    void setDrawingSetting(int value) override;
    void printLine(const QString &text) override;
    void drawLine(QPoint from, QPoint to) override;
    void drawBox(QPoint corner1, QPoint corner2, Rgb outline) override;
    void endDocument() override;
    QPoint currentPosition() const override;
    QString savedFile() const override;

private:
    // Draws on printer, or into a PDF for pdfPath when printer is null.
    QtReportPrinter(std::unique_ptr<QPrinter> printer, QString pdfPath);

    void beginIfNeeded();
    QFont currentFont() const;
    QPen pen(Rgb color) const;
    QPointF device(QPointF twips) const;
    double twipsPerDevicePixel() const;

    QBuffer m_pdfBytes; // the PDF while it is drawn
    std::unique_ptr<QPagedPaintDevice> m_device;
    QPrinter *m_printer = nullptr; // m_device when it is a printer
    QPainter m_painter;
    QString m_pdfPath;
    std::unique_ptr<PendingFile> m_pdfFile;
    QFont m_defaultFont;
    double m_textSize = 0; // 0 until set: the default font's own size
    int m_penWidth = 1;    // device pixels
    QPointF m_position{0, 0};
    bool m_ended = false;
};

// The system's default printer, or, when no printer is installed, a PDF at the path
// the report asks for.
class QtReportPrinterProvider : public ReportPrinterProvider
{
public:
    std::unique_ptr<ReportPrinter> begin(const QString &pdfPath) override;
};
