#include "RegistrazioneCopia.h"

#include "AvvioAlLoginXdg.h"
#include "SalvataggioSicuro.h"

#include <QDir>
#include <QFile>

namespace RegistrazioneCopia {

QString voceSchema(const QString& eseguibile)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Halvora\n"
                          "Exec=%1 %u\n"
                          "MimeType=x-scheme-handler/halvora;\n"
                          "NoDisplay=true\n"
                          "Terminal=false\n")
        .arg(AvvioAlLoginXdg::comandoExec(eseguibile));
}

std::optional<QString> aggiorna(const QString& eseguibile, const QString& cartellaVoci, AvvioAlLogin& avvio)
{
    std::optional<QString> errore;
    const QByteArray voce = voceSchema(eseguibile).toUtf8();
    const QString percorso = QDir(cartellaVoci).filePath(QString::fromLatin1(kVoceSchema));
    QFile attuale(percorso);
    if (!attuale.open(QIODevice::ReadOnly) || attuale.readAll() != voce) {
        attuale.close();
        QDir().mkpath(cartellaVoci);
        if (const auto e = SalvataggioSicuro::salva(percorso, voce))
            errore = e->testo();
    }
    // The item names the program that registers it: registering again moves it here.
    if (avvio.registrato())
        if (auto e = avvio.registra(); e && !errore)
            errore = e;
    return errore;
}

} // namespace RegistrazioneCopia
