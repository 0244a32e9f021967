// The least a window can do with the scale's stream: read the serial device with
// QSerialPort and set two QLineEdit texts for every four bytes. cpu-share.sh runs it
// beside Tessarine as the yardstick for the program's CPU share, and its start; it
// writes "gezeigt" on standard output once its window is on the screen.

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QSerialPort>
#include <QWidget>
#include <QWindow>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: plainscalewindow DEVICE\n");
        return 2;
    }

    QWidget window;
    auto *layout = new QFormLayout(&window);
    auto *weight = new QLineEdit(&window);
    auto *height = new QLineEdit(&window);
    layout->addRow(QStringLiteral("Gewicht:"), weight);
    layout->addRow(QStringLiteral("Größe:"), height);

    QSerialPort port(QString::fromLocal8Bit(argv[1]));
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "plainscalewindow: %s: %s\n", argv[1], qPrintable(port.errorString()));
        return 1;
    }

    QByteArray pending;
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        pending += port.readAll();
        qsizetype at = 0;
        for (; pending.size() - at >= 4; at += 4) {
            const auto byte = [&](int i) { return static_cast<quint8>(pending.at(at + i)); };
            weight->setText(QString::number((byte(2) + 256 * (byte(3) & 15)) / 33.2, 'g', 15));
            height->setText(QString::number(byte(0) + 256 * (byte(1) & 3)));
        }
        pending.remove(0, at);
    });

    struct ShownMark : QObject
    {
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
                std::puts("gezeigt");
                std::fflush(stdout);
                watched->removeEventFilter(this);
            }
            return false;
        }
    } shownMark;
    window.winId(); // creates the window handle to watch
    window.windowHandle()->installEventFilter(&shownMark);
    window.show();
    return QApplication::exec();
}
