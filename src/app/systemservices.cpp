#include "systemservices.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

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

bool WidgetMessageBoxes::ask(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tessarine"), text,
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.setDefaultButton(QMessageBox::No); // Enter alone must not split a history
    return box.exec() == QMessageBox::Yes;
}
