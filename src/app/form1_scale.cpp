#include "form1.h"
#include "repaintpacer.h"
#include "services.h"

#include "common/numbertext.h"
#include "scale/heightdecoding.h"
#include "scale/scaleframe.h"
#include "scale/serialline.h"

#include <QLineEdit>

namespace {

// At the scale's full rate most frames repeat the reading shown; writing the same text
// again would still lay it out and repaint the field, 240 times a second.
bool showText(QLineEdit *field, const QString &text, RepaintPacer &repaints)
{
    if (field->text() == text)
        return false;
    repaints.beforeWrite(field);
    field->setText(text);
    return true;
}

} // namespace

void Form1::MSComm1_OnComm()
{
    SerialLine *const line = m_services.serial;
    if (!line)
        return;
    if (line->bytesWaiting() == 0)
        return;
    const QByteArray received = line->input();
    line->discard();

    const FrameCounts counts = decodeFrame(cutFrame(received));
    const double reading = scaleReading(counts.weight);

    // The first frame, marked by the start text of Text1, gives the zero reference. A
    // frame that finds none because another handler emptied Text1 before the first
    // frame came in takes it as well, rather than failing on an empty number.
    if (Text1->text() == QLatin1String("99999") || Text10->text().isEmpty()) {
        Text10->setText(numberText(reading));
        Text10->setCursorPosition(0);
    }
    const double weight = reading - textNumber(Text10->text());
    const int height = UmrechnungBin(counts.height).value();
    if (showText(Text1, numberText(weight), *m_readingRepaints))
        Text1->setCursorPosition(0); // a long residue text shows its sign and first digits
    showText(Text2, numberText(height + 1103), *m_readingRepaints);

    m_scaleLineLost = false;
    if (m_services.clock)
        m_lastFrameMs = m_services.clock->elapsedMs();
    updateStaleCue();
}
