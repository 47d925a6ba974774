#include "RegistrazioneCopia.h"

#include "AvvioAlLoginXdg.h"
#include "SalvataggioSicuro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace RegistrazioneCopia {

QString copiaDaAvviare(const NotchGeometry::Posizione& posizione)
{
    const QString installata =
        QDir(posizione.destinazione()).filePath(QFileInfo(posizione.eseguibile).fileName());
    return QFileInfo(installata).isExecutable() ? installata : posizione.eseguibile;
}

QString voce(const QString& eseguibile)
{
    // The icon is named by its path: a bundle copied anywhere brings its own.
    QString icona = QFileInfo(eseguibile).dir().filePath(QString::fromLatin1(kIcona));
    icona.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Halvora\n"
                          "Comment=A panel hanging from the top edge of the screen\n"
                          "Comment[it]=Un pannello appeso al bordo superiore dello schermo\n"
                          "Comment[es]=Un panel colgado del borde superior de la pantalla\n"
                          "Icon=%1\n"
                          "Exec=%2 %u\n"
                          "MimeType=x-scheme-handler/halvora;\n"
                          "Categories=Utility;\n"
                          "Terminal=false\n")
        .arg(icona, AvvioAlLoginXdg::comandoExec(eseguibile));
}

std::optional<QString> aggiorna(const QString& eseguibile, const QString& cartellaVoci, AvvioAlLogin& avvio)
{
    std::optional<QString> errore;
    const QByteArray testo = voce(eseguibile).toUtf8();
    const QString percorso = QDir(cartellaVoci).filePath(QString::fromLatin1(kVoce));
    // A cut-off save's temporary ends in .desktop too: the menu could list it.
    SalvataggioSicuro::scartaAvanzi(percorso);
    QFile attuale(percorso);
    if (!attuale.open(QIODevice::ReadOnly) || attuale.readAll() != testo) {
        attuale.close();
        QDir().mkpath(cartellaVoci);
        if (const auto e = SalvataggioSicuro::salva(percorso, testo))
            errore = e->testo();
    }
    // The item names the program that registers it: registering again moves it there.
    if (avvio.registrato())
        if (auto e = avvio.registra(); e && !errore)
            errore = e;
    return errore;
}

} // namespace RegistrazioneCopia
