#include "form1.h"
#include "repaintpacer.h"
#include "services.h"

#include "common/numbertext.h"
#include "scale/scalereading.h"
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

    const ScaleReading reading = m_scale->read(received);
    if (reading.zeroTaken) {
        Text10->setText(numberText(*reading.zeroTaken));
        Text10->setCursorPosition(0);
    }
    if (showText(Text1, numberText(reading.weightKg), *m_readingRepaints))
        Text1->setCursorPosition(0); // a long residue text shows its sign and first digits
    showText(Text2, numberText(reading.heightMm), *m_readingRepaints);
    m_readingRepaints->afterWrites();

    m_scaleLineLost = false;
    if (m_services.clock)
        m_lastFrameMs = m_services.clock->elapsedMs();
    updateStaleCue();
}
