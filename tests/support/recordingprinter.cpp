#include "recordingprinter.h"

#include "common/numbertext.h"

#include <cmath>

namespace {

QString pointText(QPoint p)
{
    return QString::number(p.x()) + QLatin1Char(',') + QString::number(p.y());
}

} // namespace

RecordingPrinter::RecordingPrinter(LineHeight lineHeight, std::shared_ptr<QStringList> log)
    : m_lineHeight(lineHeight
                       ? std::move(lineHeight)
                       : [](double points) { return static_cast<int>(std::lround(points * 20)); }),
      m_log(std::move(log))
{}

void RecordingPrinter::setTextSize(double points)
{
    m_textSize = points;
    *m_log << QStringLiteral("size ") + numberText(points, QLocale::c());
}

void RecordingPrinter::setDrawingSetting(int value)
{
    *m_log << QStringLiteral("setting ") + QString::number(value);
}

void RecordingPrinter::printLine(const QString &text)
{
    *m_log << QStringLiteral("text %1 '%2'").arg(pointText(m_position), text);
    m_position = {0, m_position.y() + m_lineHeight(m_textSize)};
}

void RecordingPrinter::drawLine(QPoint from, QPoint to)
{
    *m_log << QStringLiteral("line %1 %2").arg(pointText(from), pointText(to));
    m_position = to;
}

void RecordingPrinter::drawBox(QPoint corner1, QPoint corner2, Rgb outline)
{
    *m_log << QStringLiteral("box %1 %2 %3,%4,%5")
                  .arg(pointText(corner1), pointText(corner2))
                  .arg(outline.red)
                  .arg(outline.green)
                  .arg(outline.blue);
    m_position = corner2;
}

void RecordingPrinter::endDocument()
{
    *m_log << QStringLiteral("end");
    m_ended = true;
}

std::unique_ptr<ReportPrinter> RecordingPrinterProvider::begin(const QString &pdfPath)
{
    begunPaths << pdfPath;
    logs.push_back(std::make_shared<QStringList>());
    auto printer = std::make_unique<RecordingPrinter>(lineHeight, logs.back());
    if (noPrinterInstalled)
        printer->saveTo = pdfPath;
    return printer;
}
