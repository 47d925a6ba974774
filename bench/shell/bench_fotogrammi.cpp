// What a user sees of the notch in motion, frame by frame: the real
// application on a display of its own, a music player on a bus of its own,
// a few copies and an event, recorded at 120 frames a second while the
// notch opens over the music card and closes, and while it goes through
// all 42 ordered pairs of tabs. For each kind of motion it prints the
// frames where content is cut inside the shape, the old module's first
// moves against its exit, the frames with the closed card drawn inside the
// open shape, the frames that match nothing the application drew, the
// longest interval between two changes of the picture and the time to rest.
// Run on a display and a bus of their own:
//   cmake --build build --target misura_fotogrammi
//   [--volte N] [--app PATH] [--player PATH]
//   [--conserva DIR [--coppie memo>media,tray>clipboard,opening,closing]]: every distinct frame of
//   those motions (the first opening and closing) as PNG files in DIR, to look at.
#include "AnalisiMoto.h"
#include "BancoApplicazione.h"
#include "RegistrazioneSchermo.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QThread>
#include <algorithm>
#include <cstdio>

using namespace Banco;
using AnalisiMoto::Esito;
using AnalisiMoto::Tipo;

namespace {

const QStringList kOrdine = {QStringLiteral("tray"), QStringLiteral("clipboard"), QStringLiteral("calendario"),
                             QStringLiteral("pomodoro"), QStringLiteral("memo"), QStringLiteral("media"),
                             QStringLiteral("mirror")};

// Every ordered pair of tabs once, as one walk from `da` (an Eulerian
// circuit of the complete directed graph).
QStringList giro(const QString& da)
{
    QMap<QString, QStringList> uscite;
    for (const QString& a : kOrdine)
        for (const QString& b : kOrdine)
            if (a != b)
                uscite[a] << b;
    QStringList pila{da}, circuito;
    while (!pila.isEmpty()) {
        QStringList& u = uscite[pila.last()];
        if (u.isEmpty())
            circuito.prepend(pila.takeLast());
        else
            pila << u.takeFirst();
    }
    return circuito;
}

class Diagnostica {
public:
    explicit Diagnostica(Applicazione& app) : app_(app) {}

    // Lines that came in, the frame lines kept.
    QStringList leggi()
    {
        const QStringList l = app_.righe().disponibili();
        for (const QString& r : l)
            if (auto q = AnalisiMoto::leggi(r))
                quadri_ << *q;
            else
                altre_ << r;
        return l;
    }
    // The first line that came or comes within `ms` starting with `inizio`
    // (the whole of it with `intera`), taken out; empty past `ms`.
    QString aspetta(const QString& inizio, int ms, bool intera = true)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            leggi();
            for (qsizetype i = 0; i < altre_.size(); ++i)
                if (intera ? altre_[i] == inizio : altre_[i].startsWith(inizio))
                    return altre_.takeAt(i);
            QThread::msleep(10);
        }
        return {};
    }
    void lascia(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            leggi();
            QThread::msleep(10);
        }
    }
    const QList<AnalisiMoto::Quadro>& quadri() const { return quadri_; }

private:
    Applicazione& app_;
    QList<AnalisiMoto::Quadro> quadri_;
    QStringList altre_;
};

struct Categoria {
    QList<Esito> esiti;
    QStringList nomi;
};

void stampaDettaglio(const QString& nome, const Esito& e)
{
    std::printf("  %-22s %4d fr  cut %d  unmatched %d  card %d  against %d  first %+5.1f px  stall %5.1f ms "
                "at %3.0f ms (app %4.1f)  rest %5.0f ms (last step %4.0f ms)%s%s\n",
                qPrintable(nome), e.fotogrammi, e.tagliati, e.incongruenti, e.cartaSopra, e.controDirezione,
                e.primoSpostamento, e.stallo, e.stalloDopo, e.passoApplicazione, e.assestamento, e.ultimoPasso,
                e.buchiCattura ? qPrintable(QStringLiteral("  grab gaps %1").arg(e.buchiCattura)) : "",
                e.nota.isEmpty() ? "" : qPrintable(QStringLiteral("  (%1)").arg(e.nota)));
    std::fflush(stdout);
}

void stampaCategoria(const char* titolo, const Categoria& c, bool conDirezione)
{
    int tagliati = 0, incongruenti = 0, carta = 0, contro = 0, buchi = 0, letti = 0;
    QList<double> stalli, assestamenti, ultimi, passi;
    for (const Esito& e : c.esiti) {
        if (!e.nota.isEmpty())
            continue;
        ++letti;
        tagliati += e.tagliati;
        incongruenti += e.incongruenti;
        carta += e.cartaSopra;
        contro += e.controDirezione > 0;
        buchi += e.buchiCattura;
        stalli << e.stallo;
        passi << e.passoApplicazione;
        assestamenti << e.assestamento;
        ultimi << e.ultimoPasso;
    }
    std::printf("\n%s: %d of %d read\n", titolo, letti, int(c.esiti.size()));
    riga("  frames cut inside the shape", tagliati, "", QStringLiteral("= 0"), tagliati == 0);
    if (conDirezione)
        riga("  changes moving against the exit", contro, "", QStringLiteral("= 0"), contro == 0);
    riga("  frames with the card inside", carta, "", QStringLiteral("= 0"), carta == 0);
    riga("  frames matching no drawn frame", incongruenti, "", QStringLiteral("= 0"), incongruenti == 0);
    const double stallo = stalli.isEmpty() ? -1 : *std::max_element(stalli.cbegin(), stalli.cend());
    riga("  longest frame-to-frame stall", stallo, "ms", QStringLiteral("<= 17"), stallo >= 0 && stallo <= 17,
         QStringLiteral("(median of the longest %1 ms; grab gaps %2)").arg(mediana(stalli), 0, 'f', 1).arg(buchi));
    riga("  application's longest step", percentile(passi, 1), "ms", QStringLiteral("<= 17"), percentile(passi, 1) <= 17,
         QStringLiteral("(median of the longest %1 ms)").arg(mediana(passi), 0, 'f', 1));
    riga("  time to rest, median", mediana(assestamenti), "ms", QStringLiteral("-"), true,
         QStringLiteral("(longest %1 ms; last step median %2 ms, longest %3 ms)")
             .arg(percentile(assestamenti, 1), 0, 'f', 0)
             .arg(mediana(ultimi), 0, 'f', 0)
             .arg(percentile(ultimi, 1), 0, 'f', 0));
}

// Every distinct frame of a recording as a PNG, named by its time.
void conserva(const RegistrazioneSchermo& r, const QString& cartella)
{
    QDir().mkpath(cartella);
    QByteArray prima;
    for (int i = 0; i < r.numero(); ++i) {
        const QByteArray ora = QByteArray::fromRawData(reinterpret_cast<const char*>(r.fotogramma(i)),
                                                       qsizetype(r.passo()) * r.altezza());
        if (ora == prima)
            continue;
        prima = QByteArray(ora.constData(), ora.size());
        QImage(r.fotogramma(i), r.larghezza(), r.altezza(), r.passo(), QImage::Format_RGB32)
            .convertToFormat(QImage::Format_RGB888)
            .save(QStringLiteral("%1/%2-%3ms.png")
                      .arg(cartella)
                      .arg(i, 3, 10, QLatin1Char('0'))
                      .arg((r.tempo(i) - r.tempo(0)) / 1000.0, 0, 'f', 1));
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QCoreApplication app(argc, argv);
    const int volte = opzione("--volte", QStringLiteral("5")).toInt();
    const QString cartella = opzione("--conserva", QString());
    const QStringList daConservare =
        opzione("--coppie", QStringLiteral("memo>media,tray>clipboard")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    Puntatore puntatore;
    if (!ambientePronto("bench_fotogrammi", puntatore))
        return 2;
    std::printf("Load average at the start: %s (8 cores).\n", qPrintable(carico()));
    const int mezzo = puntatore.larghezza() / 2;
    auto lontano = [&] { puntatore.muovi(100, 900); };
    lontano();

    // A user who has seen the start-up notices, with an event later today.
    Applicazione halvora(opzione("--app", QStringLiteral(HALVORA_ESEGUIBILE)), [](const QString& casa) {
        avvisiGiaVisti(casa);
        const QString calendari = casa + QStringLiteral("/data/Halvora/Halvora/calendario");
        QDir().mkpath(calendari);
        QFile ics(calendari + QStringLiteral("/Personale.ics"));
        const QDateTime inizio = QDateTime::currentDateTimeUtc().addSecs(2 * 3600);
        const QString formato = QStringLiteral("yyyyMMdd'T'HHmmss'Z'");
        if (ics.open(QIODevice::WriteOnly))
            ics.write(QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Halvora//Banco//IT\r\n"
                                     "X-WR-CALNAME:Personale\r\nBEGIN:VEVENT\r\nUID:banco-1\r\nDTSTAMP:%1\r\n"
                                     "DTSTART:%1\r\nDTEND:%2\r\nSUMMARY:Revisione del progetto\r\n"
                                     "LOCATION:Sala riunioni\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
                          .arg(inizio.toString(formato), inizio.addSecs(3600).toString(formato))
                          .toUtf8());
    });
    if (!halvora.avviata()) {
        std::fputs("bench_fotogrammi: the application did not start\n", stderr);
        return 1;
    }
    Diagnostica banco(halvora);
    QProcess suona;
    avviaPlayer(suona, QStringLiteral(HALVORA_FINTO_PLAYER));
    for (const char* testo : {"Riunione alle 15 in sala grande", "https://esempio.it/relazione", "Lista: pane, latte"}) {
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")});
        xclip.write(testo);
        xclip.closeWriteChannel();
        xclip.waitForFinished(3000);
        banco.aspetta(QStringLiteral("appunti "), 5000, false);
    }
    if (!suona.waitForStarted(5000) || banco.aspetta(QStringLiteral("scheda musica"), 20000).isEmpty()) {
        std::fputs("bench_fotogrammi: the music card did not show\n", stderr);
        return 1;
    }
    banco.lascia(1500);
    RegistrazioneSchermo registrazione(QRect(mezzo - 400, 0, 800, 620));
    auto registra = [&](const std::function<void()>& azione, int ms) {
        if (!registrazione.avvia())
            return false;
        banco.lascia(150);
        azione();
        banco.lascia(ms);
        return registrazione.ferma();
    };

    // Openings over the music card and closings back to it.
    Categoria aperture, chiusure;
    std::puts("Openings and closings:");
    for (int i = 0; i < volte; ++i) {
        if (!registra([&] { puntatore.muovi(mezzo, 10); }, 1300)) {
            std::fputs("bench_fotogrammi: ffmpeg recorded nothing\n", stderr);
            return 1;
        }
        banco.leggi();
        aperture.esiti << AnalisiMoto::analizza(registrazione, banco.quadri(), Tipo::apertura);
        stampaDettaglio(QStringLiteral("opening %1").arg(i + 1), aperture.esiti.last());
        if (!cartella.isEmpty() && i == 0 && daConservare.contains(QStringLiteral("opening")))
            conserva(registrazione, cartella + QStringLiteral("/opening"));
        registra(lontano, 1700);
        banco.leggi();
        chiusure.esiti << AnalisiMoto::analizza(registrazione, banco.quadri(), Tipo::chiusura);
        stampaDettaglio(QStringLiteral("closing %1").arg(i + 1), chiusure.esiti.last());
        if (!cartella.isEmpty() && i == 0 && daConservare.contains(QStringLiteral("closing")))
            conserva(registrazione, cartella + QStringLiteral("/closing"));
        banco.lascia(800);
    }

    // Tab changes, the player paused so that no module moves by itself: the
    // pointer rests on each tab in turn, which opens it.
    suona.write("stato Paused\n");
    banco.aspetta(QStringLiteral("scheda nessuna"), 10000);
    puntatore.muovi(mezzo, 10);
    const QString schede = banco.aspetta(QStringLiteral("schede "), 5000, false);
    QMap<QString, QPoint> centri;
    for (const QString& s : schede.split(QLatin1Char(' ')).mid(1)) {
        const QStringList p = s.split(QLatin1Char('='));
        const QStringList xy = p.value(1).split(QLatin1Char(','));
        if (xy.size() == 2)
            centri[p[0]] = QPoint(xy[0].toInt(), xy[1].toInt());
    }
    if (centri.size() != kOrdine.size()) {
        std::fputs("bench_fotogrammi: the tab row was not found\n", stderr);
        return 1;
    }
    banco.lascia(1000);
    // Once over every tab first, unrecorded: what a tab reads when it is
    // first chosen (the calendar its events) is in before the changes
    // are measured.
    for (const QString& tab : kOrdine.mid(1) + QStringList{kOrdine.first()}) {
        puntatore.muovi(centri[tab].x(), centri[tab].y());
        banco.lascia(900);
    }
    std::puts("Tab changes:");
    Categoria cambi;
    // BANCO_TAPPE=tray,memo,... goes through those tabs alone.
    QStringList tappe = giro(QStringLiteral("tray"));
    if (qEnvironmentVariableIsSet("BANCO_TAPPE"))
        tappe = qEnvironmentVariable("BANCO_TAPPE").split(QLatin1Char(','));
    // The walk starts from its first tab.
    if (tappe.first() != kOrdine.first()) {
        puntatore.muovi(centri[tappe.first()].x(), centri[tappe.first()].y());
        banco.lascia(900);
    }
    for (int i = 1; i < tappe.size(); ++i) {
        const QString da = tappe[i - 1], a = tappe[i];
        registra([&] { puntatore.muovi(centri[a].x(), centri[a].y()); }, 1250);
        banco.leggi();
        const int esce = kOrdine.indexOf(a) > kOrdine.indexOf(da) ? -1 : 1;
        const QString nome = da + QLatin1Char('>') + a;
        cambi.esiti << AnalisiMoto::analizza(registrazione, banco.quadri(), Tipo::cambio, esce);
        stampaDettaglio(nome, cambi.esiti.last());
        if (!cartella.isEmpty() && daConservare.contains(nome))
            conserva(registrazione, cartella + QLatin1Char('/') + QString(nome).replace(QLatin1Char('>'), QLatin1Char('-')));
    }
    lontano();
    suona.kill();
    suona.waitForFinished();

    stampaCategoria("Openings", aperture, false);
    stampaCategoria("Closings", chiusure, false);
    stampaCategoria("Tab changes (all 42 ordered pairs)", cambi, true);
    std::printf("Load average at the end: %s (8 cores).\n", qPrintable(carico()));
    return 0;
}
