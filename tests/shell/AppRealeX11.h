#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

// What the tests that drive the real application on a virtual display share.
namespace AppRealeX11 {

inline void xdotool(const QStringList& argomenti)
{
    QProcess::execute(QStringLiteral("xdotool"), argomenti);
}

// The application's environment: its settings, data and instance lock all
// under `casa`, with a line on its standard output for every change.
inline QProcessEnvironment ambiente(const QTemporaryDir& casa)
{
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HALVORA_DIAGNOSTICA"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), casa.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), casa.path());
    return env;
}

// The guide has been seen: a first launch would otherwise start in it.
inline bool segnaGuidaVista(const QTemporaryDir& casa)
{
    QDir().mkpath(casa.filePath(QStringLiteral("config/Halvora")));
    QFile ini(casa.filePath(QStringLiteral("config/Halvora/Halvora.ini")));
    return ini.open(QIODevice::WriteOnly) && ini.write("[General]\nguidaVista=true\n") > 0;
}

} // namespace AppRealeX11
