// A program state over a temporary program directory, with dialogs that
// answer from a script (No when nothing is scripted) and record what the
// core showed.
#pragma once

#include "app/base/ProgramState.h"
#include "app/base/Settings.h"
#include "support/LangStructureBytes.h"
#include "support/ScriptedDialogs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vexlon::test {

class CoreFixture : public ::testing::Test {
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

    QString file(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ProgramState state;
};

} // namespace vexlon::test
