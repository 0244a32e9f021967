#pragma once

#include "services.h"
#include "systemshutdown.h"

#include <QElapsedTimer>

class QCoreApplication;
class QWidget;

// German texts for Qt's own dialogs, context menus and command-line help, where the
// translations exist. Needed again for each new application object.
void loadGermanTranslations(QCoreApplication &application);

class WidgetMessageBoxes : public MessageBoxes
{
public:
    void setParent(QWidget *parent) { m_parent = parent; }
    void inform(const QString &text, const QString &detail = {}) override;
    bool confirm(const QString &text) override;
    bool ask(const QString &text) override;

private:
    QWidget *m_parent = nullptr;
};

class SystemClock : public Clock
{
public:
    SystemClock() { m_elapsed.start(); }
    QDate today() const override { return QDate::currentDate(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 elapsedMs() const override { return m_elapsed.elapsed(); }

private:
    QElapsedTimer m_elapsed;
};
