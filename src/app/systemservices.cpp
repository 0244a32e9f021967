#include "systemservices.h"

#include "common/failure.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTranslator>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

void loadGermanTranslations(QCoreApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_de"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

void WidgetMessageBoxes::inform(const QString &text, const QString &detail)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tessarine"), text, QMessageBox::Ok,
                    m_parent);
    box.setInformativeText(detail);
    box.exec();
}

bool WidgetMessageBoxes::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tessarine"), text,
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    // The operator reads German whether or not Qt's translations are installed.
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    return box.exec() == QMessageBox::Ok;
}

void SystemShutdown::request()
{
#ifdef Q_OS_WIN
    QProcess process;
    process.setProgram(QStringLiteral("C:\\WINDOWS\\RUNDLL32.EXE"));
    process.setArguments({QStringLiteral("user.exe,ExitWindows")});
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMINIMIZED;
    });
    if (!process.startDetached())
        throw Failure(QStringLiteral("Der Befehl zum Herunterfahren konnte nicht gestartet "
                                     "werden: %1")
                          .arg(process.errorString()));
#else
    // No shutdown command here: ending the program is what the operator can expect.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
#endif
}
