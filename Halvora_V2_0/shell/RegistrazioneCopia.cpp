#include "RegistrazioneCopia.h"

#include "AvvioAlLoginXdg.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

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
        QSaveFile f(percorso);
        if (!QDir().mkpath(cartellaVoci) || !f.open(QIODevice::WriteOnly) || f.write(voce) != voce.size() || !f.commit())
            errore = f.errorString();
    }
    // The item names the program that registers it: registering again moves it here.
    if (avvio.registrato())
        if (auto e = avvio.registra(); e && !errore)
            errore = e;
    return errore;
}

} // namespace RegistrazioneCopia
