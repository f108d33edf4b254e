// What the core's fuzz targets share: a quiet dialog interface that says Yes,
// a scratch program directory, and a way to hand bytes to readers that take
// a path.
#pragma once

#include "core/base/ProgramState.h"
#include "core/base/Settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace vexlon::fuzz {

struct Scratch {
    QTemporaryDir dir;
    SilentDialogs dialogs {true};
    ProgramState state;

    Scratch()
    {
        state.programDirectory = dir.path() + QLatin1Char('/');
        state.dialogs = &dialogs;
        SetDefaultSettings(state.settings);
        QDir(dir.path()).mkpath(QStringLiteral("TempFile"));
        QDir(dir.path()).mkpath(QStringLiteral("Languages"));
    }

    // Writes the bytes to a file of the scratch folder and returns its path.
    QString put(const char* name, const uint8_t* data, size_t size) const
    {
        const QString path = state.programDirectory + QString::fromLatin1(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
        return path;
    }
};

inline Scratch& scratch()
{
    static Scratch s;
    return s;
}

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace vexlon::fuzz
