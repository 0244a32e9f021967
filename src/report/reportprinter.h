#pragma once

#include "common/drawing.h"

#include <QPoint>
#include <QString>

#include <memory>

// The printer as the report drives it. Positions are twips from the top-left corner
// of the printable area. The printer keeps a current position, (0, 0) when a
// document begins: a text line is put with its top-left corner there and moves it to
// x = 0 one line lower; a line or a box moves it to its end point or second corner.
class ReportPrinter
{
public:
    virtual ~ReportPrinter() = default;

    virtual void setTextSize(double points) = 0;
    virtual void setDrawingSetting(int value) = 0;
    virtual void printLine(const QString &text) = 0;
    virtual void drawLine(QPoint from, QPoint to) = 0;
    virtual void drawBox(QPoint corner1, QPoint corner2, Rgb outline) = 0;
    virtual void endDocument() = 0;

    virtual QPoint currentPosition() const = 0;

    // After endDocument: the file the document was written to, empty when it went to
    // a printer.
    virtual QString savedFile() const { return {}; }
};

// Hands out one printer per document: the system's default printer, or a PDF file
// at pdfPath when no printer is installed.
class ReportPrinterProvider
{
public:
    virtual ~ReportPrinterProvider() = default;
    virtual std::unique_ptr<ReportPrinter> begin(const QString &pdfPath) = 0;
};
