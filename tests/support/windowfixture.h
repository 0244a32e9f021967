#pragma once

// Test doubles for what cannot run here (message boxes answered by a person, an OS
// shutdown) and a fixture that builds the real window on a temporary data directory.

#include "app/form1.h"
#include "app/services.h"
#include "orders/worklist.h"
#include "outbox/outboxpump.h"

#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class RecordingMessageBoxes : public MessageBoxes
{
public:
    void inform(const QString &text, const QString &detail = {}) override
    {
        shown << text;
        details << detail;
    }
    bool confirm(const QString &text) override
    {
        shown << text;
        details << QString();
        return answerOk;
    }
    bool ask(const QString &text) override { return confirm(text); }

    QStringList shown;     // every message, in order
    QStringList details;   // the detail of each message, empty when none
    bool answerOk = false; // the operator's answer to the next confirmations and questions
};

class CountingShutdown : public ShutdownRequest
{
public:
    void request() override { ++requests; }
    int requests = 0;
};

class ManualClock : public Clock
{
public:
    QDate today() const override { return date; }
    QDateTime now() const override { return QDateTime(date, time); }
    qint64 elapsedMs() const override { return ms; }

    QDate date{2026, 12, 6};
    QTime time{9, 5, 7};
    qint64 ms = 0;
};

// The real window on a fresh data directory. Serial line and printers are optional:
// set them in services before calling create().
struct WindowFixture
{
    WindowFixture()
    {
        services.messages = &messages;
        services.shutdown = &shutdown;
        services.clock = &clock;
        services.dataDir = dir.path();
        services.worklist = &worklist;
        services.outbox = &pump;
    }

    Form1 &create(bool load = true)
    {
        form = std::make_unique<Form1>(services);
        if (load)
            form->guard([this] { form->Form_Load(); });
        return *form;
    }

    template <typename T> T *find(const char *name) const
    {
        auto *child = form->findChild<T *>(QString::fromLatin1(name));
        if (!child)
            qFatal("no control named %s", name);
        return child;
    }
    QLineEdit *field(const char *name) const { return find<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QListWidget *list() const { return find<QListWidget>("List1"); }
    QStringList listItems() const
    {
        QStringList items;
        for (int i = 0; i < list()->count(); ++i)
            items << list()->item(i)->text();
        return items;
    }
    QString filePath(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    // The state directory beside the data: worklist and outbox of the station.
    Worklist worklist{dir.filePath(QStringLiteral("state/worklist.json"))};
    Outbox outbox{dir.filePath(QStringLiteral("state/outbox.json"))};
    OutboxPump pump{outbox, [] { return QDateTime::currentDateTime(); },
                    std::chrono::milliseconds(50)};
    RecordingMessageBoxes messages;
    CountingShutdown shutdown;
    ManualClock clock;
    Form1Services services;
    std::unique_ptr<Form1> form;
};
