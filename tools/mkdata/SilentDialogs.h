// Dialogs for running the core without a user: every question is answered
// No, nothing is chosen, and messages and progress are dropped. The data
// generators use the core only for work that asks nothing.
#pragma once

#include "app/base/Dialogs.h"

namespace vexlon::mkdata {

class SilentDialogs : public IDialogs {
public:
    bool confirm(const QString&, ConfirmKind) override { return false; }
    void message(const QString&) override {}
    uint8_t chooseLanguage(const QString&, const QString&, const QString&, const QStringList&) override { return kNoLanguage; }
    void progressText(const QString&) override {}
    void progress(int, int) override {}
};

} // namespace vexlon::mkdata
