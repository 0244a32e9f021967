#pragma once

#include "report/reportprinter.h"

#include <QPoint>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// A printer that keeps the current position as the report expects it and writes down
// every operation, one readable line each, for checking a document without paper:
//   "size 14", "setting 4", "text 0,0 'Anna'", "box 3,3093 6263,2640 255,3,5",
//   "line 80,2160 240,2040", "end".
// A text line is noted with the position it was put at.
class RecordingPrinter : public ReportPrinter
{
public:
    // Line height in twips for a text size in points; by default 20 twips per point.
    using LineHeight = std::function<int(double points)>;
    explicit RecordingPrinter(LineHeight lineHeight = {},
                              std::shared_ptr<QStringList> log = std::make_shared<QStringList>());

    void setTextSize(double points) override;
    void setDrawingSetting(int value) override;
    void printLine(const QString &text) override;
    void drawLine(QPoint from, QPoint to) override;
    void drawBox(QPoint corner1, QPoint corner2, Rgb outline) override;
    void endDocument() override;
    QPoint currentPosition() const override { return m_position; }
    QString savedFile() const override { return m_ended ? saveTo : QString(); }

    int lineHeight(double points) const { return m_lineHeight(points); }
    const QStringList &operations() const { return *m_log; }

    QString saveTo; // pretends the document went to this file instead of a printer

private:
    LineHeight m_lineHeight;
    std::shared_ptr<QStringList> m_log;
    QPoint m_position{0, 0};
    double m_textSize = 0;
    bool m_ended = false;
};

// Hands out recording printers and keeps their logs, so a test can look at every
// document a handler produced after the handler has dropped its printer.
class RecordingPrinterProvider : public ReportPrinterProvider
{
public:
    std::unique_ptr<ReportPrinter> begin(const QString &pdfPath) override;

    QStringList begunPaths;                         // the pdfPath of every document begun
    std::vector<std::shared_ptr<QStringList>> logs; // the operations of every document
    bool noPrinterInstalled = false;                // then each document "goes" to its pdfPath
    RecordingPrinter::LineHeight lineHeight;        // passed to every printer
};
