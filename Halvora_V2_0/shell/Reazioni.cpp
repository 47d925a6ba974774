#include "Reazioni.h"

#include "Colori.h"
#include "Testi.h"
#include "TrayDisegno.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>

namespace Reazioni {

namespace {

// The icon the desktop shows for the file, by its type.
std::optional<QImage> iconaDelFile(const QUrl& file)
{
    const QIcon icona = TrayDisegno::iconaFile(file.toLocalFile());
    if (icona.isNull())
        return std::nullopt;
    return icona.pixmap(kLatoAnteprima, kLatoAnteprima).toImage();
}

QString nomeFile(const QUrl& file)
{
    return QFileInfo(file.path()).fileName();
}

} // namespace

std::optional<AttivitaNotch> avvisoAlimentazione(const std::optional<StatoAlimentazione>& prima,
                                                 const std::optional<StatoAlimentazione>& dopo)
{
    if (!prima || !dopo || prima->allaCorrente == dopo->allaCorrente)
        return std::nullopt;
    AttivitaNotch a;
    if (dopo->allaCorrente && dopo->inCarica) {
        a.simbolo = QStringLiteral("battery.100.bolt");
        a.titolo = Testi::tr("In carica");
        a.tinta = Colori::verde();
    } else if (dopo->allaCorrente) {
        a.simbolo = QStringLiteral("powerplug.fill");
        a.titolo = Testi::tr("Alimentatore collegato");
        a.tinta = Colori::verde();
    } else {
        a.simbolo = QStringLiteral("battery.50");
        a.titolo = Testi::tr("Alimentazione a batteria");
        if (dopo->percentuale <= 20)
            a.tinta = Colori::arancione();
    }
    a.dettaglio = QStringLiteral("%1%").arg(dopo->percentuale);
    return a;
}

std::optional<AttivitaNotch> avvisoFileScaricato(const std::optional<QUrl>& file, bool annuncia)
{
    if (!annuncia || !file)
        return std::nullopt;
    AttivitaNotch a;
    a.simbolo = QStringLiteral("arrow.down.circle.fill");
    a.titolo = Testi::tr("File ricevuto");
    a.dettaglio = nomeFile(*file);
    a.tinta = Colori::blu();
    a.anteprima = iconaDelFile(*file);
    return a;
}

AttivitaNotch avvisoScreenshot(const QImage& anteprima)
{
    AttivitaNotch a;
    a.simbolo = QStringLiteral("camera.viewfinder");
    a.titolo = Testi::tr("Screenshot catturato");
    a.dettaglio = Testi::tr("Aggiunto al vassoio");
    a.tinta = Colori::accento();
    if (!anteprima.isNull())
        a.anteprima = anteprima;
    return a;
}

AttivitaNotch avvisoConversione(const QString& titolo, const QUrl& file)
{
    AttivitaNotch a;
    a.simbolo = QStringLiteral("wand.and.rays");
    a.titolo = titolo;
    a.dettaglio = nomeFile(file);
    a.tinta = Colori::viola();
    a.anteprima = iconaDelFile(file);
    return a;
}

AttivitaNotch avvisoConversioneMancata(const QString& titolo, const QList<QUrl>& file)
{
    AttivitaNotch a;
    a.simbolo = QStringLiteral("exclamationmark.triangle.fill");
    a.titolo = titolo;
    if (file.size() == 1)
        a.dettaglio = nomeFile(file.first());
    a.tinta = Colori::arancione();
    return a;
}

namespace {
AttivitaNotch avvisoNonSalvato(const QString& titolo, const QString& motivo)
{
    AttivitaNotch a;
    a.simbolo = QStringLiteral("exclamationmark.triangle.fill");
    a.titolo = titolo;
    a.dettaglio = motivo;
    a.tinta = Colori::arancione();
    return a;
}
} // namespace

AttivitaNotch avvisoRilascioNonRiuscito(int quanti, const QString& motivo)
{
    return avvisoNonSalvato(quanti == 1 ? Testi::tr("File non aggiunto") : Testi::tr("%1 file non aggiunti").arg(quanti), motivo);
}

AttivitaNotch avvisoImpostazioneNonSalvata(const QString& motivo)
{
    return avvisoNonSalvato(Testi::tr("Impostazione non salvata"), motivo);
}

AttivitaNotch avvisoPromemoriaMessiDaParte(const QString& copia)
{
    return avvisoNonSalvato(Testi::tr("Promemoria messi da parte"), QFileInfo(copia).fileName());
}

AttivitaNotch avvisoImpostazioniMesseDaParte(const QString& copia)
{
    // The copy's name is what the user needs to find it.
    return avvisoNonSalvato(Testi::tr("Impostazioni illeggibili"), QFileInfo(copia).fileName());
}

AttivitaNotch avvisoLimiteAzzerato(const UsoIAMonitor::DiNuovoDisponibile& evento)
{
    AttivitaNotch a;
    a.simbolo = QStringLiteral("checkmark.circle.fill");
    a.titolo = Testi::tr("%1 è tornato").arg(nomeFornitore(evento.fornitore));
    a.dettaglio = evento.settimanale ? Testi::tr("Limite di 7 giorni azzerato") : Testi::tr("Limite di 5 ore azzerato");
    a.tinta = evento.fornitore == FornitoreIA::claude ? coloreClaude() : Colori::grigio();
    a.anteprima = iconaFornitore(evento.fornitore);
    return a;
}

QImage leggiAnteprima(const QString& percorso)
{
    QImageReader lettore(percorso);
    lettore.setAutoTransform(true);
    const QSize dimensione = lettore.size();
    if (dimensione.isValid() && std::max(dimensione.width(), dimensione.height()) > kLatoAnteprima)
        lettore.setScaledSize(dimensione.scaled(kLatoAnteprima, kLatoAnteprima, Qt::KeepAspectRatio));
    return lettore.read();
}

} // namespace Reazioni
