#pragma once

#include "services.h"

// Message boxes that write what the operator saw (and answered) to the support log,
// without the personal data their texts may quote, and then show it with shown.
class LoggedMessageBoxes : public MessageBoxes
{
public:
    explicit LoggedMessageBoxes(MessageBoxes &shown) : m_shown(shown) {}
    void inform(const QString &text, const QString &detail = {}) override;
    bool confirm(const QString &text) override;
    bool ask(const QString &text) override;

private:
    MessageBoxes &m_shown;
};
