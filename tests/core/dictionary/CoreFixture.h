// A program state over a temporary program directory, with dialogs that
// answer from a script (No when nothing is scripted) and record what the
// core showed.
#pragma once

#include "core/base/ProgramState.h"
#include "core/base/Settings.h"
#include "support/LangStructureBytes.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDirFixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vexlon::test {

class CoreFixture : public TempDirFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        dialogs.strict = false;
        state.programDirectory = dir.path() + QLatin1Char('/');
        state.dialogs = &dialogs;
        SetDefaultSettings(state.settings);
        QDir(dir.path()).mkpath(QStringLiteral("TempFile"));
        QDir(dir.path()).mkpath(QStringLiteral("Lists"));
        for (int i = 0; i < 17; ++i)
            state.texts.stat << QStringLiteral("STAT%1").arg(i);
        for (int i = 0; i < 31; ++i)
            state.texts.messages << QStringLiteral("M%1:").arg(i);
    }

    ScriptedDialogs dialogs;
    ProgramState state;
};

} // namespace vexlon::test
