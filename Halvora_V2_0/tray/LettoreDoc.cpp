#include "LettoreDoc.h"

#include "Aiutanti.h"
#include "Interruzione.h"
#include "LettoreDocx.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

QString LettoreDoc::programmaPredefinito()
{
#ifdef HALVORA_DOC
    return Aiutanti::percorso(QStringLiteral("halvora-doc"), QStringLiteral(HALVORA_DOC));
#else
    return Aiutanti::percorso(QStringLiteral("halvora-doc"));
#endif
}

std::optional<TestoFormattato> LettoreDoc::leggi(const QString& percorso, const Interruzione& stop, const QString& programma,
                                                 int limiteMs)
{
    // Only regular files: a pipe would keep the helper waiting.
    if (!QFileInfo(percorso).isFile())
        return std::nullopt;
    QProcess p;
    p.setProgram(programma);
    p.setStandardInputFile(percorso);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(QIODevice::ReadOnly);
    if (!p.waitForStarted())
        return std::nullopt;
    const QDeadlineTimer scadenza(limiteMs);
    QByteArray xml;
    bool finito = false;
    while (!finito && !stop.richiesta() && !scadenza.hasExpired() && xml.size() <= LettoreDocx::kMassimoXml) {
        finito = p.waitForFinished(100);
        xml += p.readAllStandardOutput();
    }
    if (!finito) {
        p.kill();
        p.waitForFinished();
        return std::nullopt;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || xml.size() > LettoreDocx::kMassimoXml)
        return std::nullopt;
    return LettoreDocx::leggiXml(xml);
}
