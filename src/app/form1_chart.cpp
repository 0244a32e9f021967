#include "form1.h"

#include "common/logcategories.h"
#include "files/atomicfile.h"
#include "records/personfile.h"
#include "services.h"
#include "views/chartgeometry.h"

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>

void Form1::Command1_Click()
{
    const QString path = historyFilePath(m_services.dataDir, text->text(), Text7->text());
    if (!fileExists(path)) {
        m_services.messages->inform(noRecordMessage());
        return;
    }
    // Read in full before anything changes: a file the chart cannot read leaves the
    // window as it was.
    const BmiChart chart = bmiChart(readHistoryFile(path, maxChartRecords),
                                    QDir::toNativeSeparators(path), m_services.children);

    Text5->setText(chart.ageText);
    Text1->clear();
    Text2->clear();
    bmi->clear();
    if (chart.sexLetter == QLatin1String("m"))
        Option1->setChecked(true);
    else if (chart.sexLetter == QLatin1String("w"))
        Option2->setChecked(true);

    m_surface.setDrawWidth(chartBoxPen);
    m_surface.clear();
    m_surface.setFillColor(chart.lowerBox.fill);
    m_surface.setFillStyle(chart.lowerBox.fillStyle);
    m_surface.drawBox(chart.lowerBox.corner1, chart.lowerBox.corner2, chart.lowerBox.outline);
    m_surface.drawBox(chart.upperBox.corner1, chart.upperBox.corner2, chart.upperBox.outline);
    m_surface.setDrawWidth(chartCurvePen);
    for (const DrawnLine &segment : chart.segments)
        m_surface.drawLine(segment.from, segment.to, segment.color);
}
