// The real application over a long stretch of use, as a careful user's
// machine meets it: copies of texts, images and file lists, the notch opened
// on every tab in turn and closed, memos recorded from the tone of a private
// sound server (scripts/con-suono.sh) and files dropped on the tray. It
// prints, after a warm-up, the growth per hour of resident memory, open file
// descriptors and threads, what it did, and how many memos came out without
// sound. Run on a display, a bus and a sound server of their own (40 minutes):
//   cmake --build build --target misura_durata
// or: dbus-run-session -- scripts/con-suono.sh scripts/con-xvfb.sh build/bench/shell/bench_durata
//       [--minuti N] [--app PATH]
#include "BancoApplicazione.h"

#include <QAudioDecoder>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <cstdio>

using namespace Banco;

namespace {

constexpr int kCampioneMs = 30'000;
constexpr int kSecondiMemo = 5;
const QStringList kOrdineSchede = {"clipboard", "calendario", "pomodoro", "memo", "media", "mirror", "tray"};

QString opzione(const QString& nome, const QString& predefinito)
{
    const QStringList a = QCoreApplication::arguments();
    const int i = a.indexOf(nome);
    return i >= 0 ? a.value(i + 1, predefinito) : predefinito;
}

// Another application copies `dati` as `tipo`: xclip keeps the clipboard in
// a forked child until someone else takes it.
bool copia(const QByteArray& dati, const QString& tipo = {})
{
    QProcess p;
    QStringList a{QStringLiteral("-selection"), QStringLiteral("clipboard")};
    if (!tipo.isEmpty())
        a << QStringLiteral("-t") << tipo;
    p.start(QStringLiteral("xclip"), a);
    if (!p.waitForStarted(5000))
        return false;
    p.write(dati);
    p.closeWriteChannel();
    return p.waitForFinished(10000) && p.exitCode() == 0;
}

// Seconds of sound a file decodes to; negative when it cannot be decoded.
double secondiDiSuono(const QString& file)
{
    QAudioDecoder d;
    d.setSource(QUrl::fromLocalFile(file));
    qint64 microsecondi = 0;
    bool errore = false;
    QEventLoop ciclo;
    QObject::connect(&d, &QAudioDecoder::bufferReady, &d, [&] { microsecondi += d.read().duration(); });
    QObject::connect(&d, &QAudioDecoder::finished, &ciclo, &QEventLoop::quit);
    QObject::connect(&d, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), &ciclo, [&] {
        errore = true;
        ciclo.quit();
    });
    QTimer::singleShot(20000, &ciclo, &QEventLoop::quit);
    d.start();
    ciclo.exec();
    return errore ? -1 : microsecondi / 1e6;
}

struct Misura {
    double secondi;
    double rss;
    int fd;
    int fili;
};

// Least-squares slope of `valore` over time, per hour, from the samples after `da` seconds.
double pendenzaOraria(const QList<Misura>& c, double da, double Misura::*valore)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const Misura& m : c) {
        if (m.secondi < da)
            continue;
        const double x = m.secondi / 3600, y = m.*valore;
        n += 1;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double d = n * sxx - sx * sx;
    return n < 3 || d == 0 ? 0 : (n * sxy - sx * sy) / d;
}

class Soak {
public:
    Soak(Applicazione& app, Puntatore& p) : righe_(app.righe()), puntatore_(p)
    {
        mezzo_ = p.larghezza() / 2;
        sorgenti_.setAutoRemove(true);
        for (int i = 0; i < 4; ++i) {
            QFile f(sorgenti_.filePath(QStringLiteral("documento %1.txt").arg(i)));
            if (f.open(QIODevice::WriteOnly))
                f.write(QByteArray(100 * 1024 + i, char('a' + i)));
        }
    }

    int copie = 0, cicli = 0, cicliFalliti = 0, memo = 0, memoFalliti = 0, lasciati = 0, lasciatiFalliti = 0;
    QStringList fileMemo;

    void copiaQualcosa(int n)
    {
        auto& caso = *QRandomGenerator::global();
        bool fatto = false;
        switch (n % 3) {
        case 0: {
            // Log-uniform sizes up to 1 MB, as texts are copied.
            const int lunghezza = int(std::exp(caso.bounded(std::log(1024.0 * 1024.0))));
            QByteArray t = "copia " + QByteArray::number(n) + ' ';
            t += QByteArray(std::max(1, lunghezza), 'x').replace(caso.bounded(std::max(1, lunghezza)), 1, "\n");
            fatto = copia(t);
            break;
        }
        case 1: {
            QImage img(320 + int(caso.bounded(200)), 240, QImage::Format_RGB32);
            img.fill(QColor::fromHsv(int(caso.bounded(360)), 200, 220));
            QByteArray png;
            QBuffer b(&png);
            b.open(QIODevice::WriteOnly);
            img.save(&b, "PNG");
            fatto = copia(png, QStringLiteral("image/png"));
            break;
        }
        default: {
            QByteArray elenco;
            for (const QString& f : QDir(sorgenti_.path()).entryList(QDir::Files))
                elenco += QUrl::fromLocalFile(sorgenti_.filePath(f)).toEncoded() + "\r\n";
            fatto = copia(elenco, QStringLiteral("text/uri-list"));
        }
        }
        copie += fatto;
    }

    // Opens the notch and learns where its tabs are; false when it did not open.
    bool apri()
    {
        righe_.disponibili();
        puntatore_.muovi(mezzo_, 10);
        if (righe_.aspetta(QStringLiteral("stato aperta"), 8000) < 0)
            return false;
        const QString schede = righe_.aspettaInizio(QStringLiteral("schede "), 3000);
        for (const QString& voce : schede.split(QLatin1Char(' ')).mid(1)) {
            const QString nome = voce.section(QLatin1Char('='), 0, 0);
            const QStringList xy = voce.section(QLatin1Char('='), 1).split(QLatin1Char(','));
            if (xy.size() == 2)
                schede_[nome] = QPoint(xy[0].toInt(), xy[1].toInt());
        }
        return schede_.size() == kOrdineSchede.size();
    }

    void scheda(const QString& nome)
    {
        puntatore_.muovi(schede_.value(nome).x(), schede_.value(nome).y());
        righe_.aspetta(QStringLiteral("disegnata scheda ") + nome, 2000);
        QThread::msleep(300);
    }

    // Back on the tray, so a drag opens the notch there, then closed.
    void chiudi()
    {
        scheda(QStringLiteral("tray"));
        puntatore_.muovi(100, 900);
        righe_.aspetta(QStringLiteral("stato chiusa"), 5000);
        QThread::msleep(500);
    }

    void ciclo()
    {
        if (!apri()) {
            ++cicliFalliti;
            puntatore_.muovi(100, 900);
            QThread::msleep(1000);
            return;
        }
        for (const QString& nome : kOrdineSchede)
            scheda(nome);
        chiudi();
        ++cicli;
    }

    // The memo tab's record button: the centre of the red in the open panel.
    std::optional<QPoint> pulsanteRegistra()
    {
        const QRect zona(mezzo_ - 300, 0, 600, 500);
        const QImage img =
            QGuiApplication::primaryScreen()->grabWindow(0, zona.x(), zona.y(), zona.width(), zona.height()).toImage();
        qint64 sx = 0, sy = 0, n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                if (qRed(c) > 200 && qGreen(c) < 110 && qBlue(c) < 110) {
                    sx += x;
                    sy += y;
                    ++n;
                }
            }
        if (n < 100)
            return std::nullopt;
        return zona.topLeft() + QPoint(int(sx / n), int(sy / n));
    }

    void registraMemo()
    {
        ++memo;
        if (!apri()) {
            ++memoFalliti;
            puntatore_.muovi(100, 900);
            return;
        }
        scheda(QStringLiteral("memo"));
        QThread::msleep(500);
        const auto pulsante = pulsanteRegistra();
        if (!pulsante) {
            ++memoFalliti;
            chiudi();
            return;
        }
        righe_.disponibili();
        puntatore_.muovi(pulsante->x(), pulsante->y());
        puntatore_.clic();
        QThread::sleep(kSecondiMemo);
        puntatore_.clic();
        const QString salvato = righe_.aspettaInizio(QStringLiteral("File salvato con successo in: "), 10000);
        if (salvato.isEmpty())
            ++memoFalliti;
        else
            fileMemo << salvato.section(QStringLiteral(": "), 1);
        chiudi();
    }

    void lascia(int n)
    {
        const QStringList file = QDir(sorgenti_.path()).entryList(QDir::Files);
        QProcess sorgente;
        sorgente.start(opzione(QStringLiteral("--sorgente"), QStringLiteral(HALVORA_SORGENTE_TRASCINAMENTO)),
                       {sorgenti_.filePath(file.value(n % file.size())), QStringLiteral("300"), QStringLiteral("600")});
        Righe dallaSorgente(sorgente);
        if (dallaSorgente.aspetta(QStringLiteral("pronta"), 10000) < 0) {
            ++lasciatiFalliti;
            return;
        }
        // Pressed on the other program's window, carried up to the notch and onto the tray's files.
        puntatore_.muovi(340, 640);
        QThread::msleep(200);
        puntatore_.premi();
        for (int passo = 1; passo <= 20; ++passo) {
            puntatore_.muovi(340 + (mezzo_ - 340) * passo / 20, 640 - (640 - 10) * passo / 20);
            QThread::msleep(30);
        }
        for (int y = 20; y <= 250; y += 10) {
            puntatore_.muovi(mezzo_, y);
            QThread::msleep(30);
        }
        puntatore_.rilascia();
        if (dallaSorgente.aspetta(QStringLiteral("lasciato"), 10000) >= 0)
            ++lasciati;
        else
            ++lasciatiFalliti;
        puntatore_.muovi(100, 900);
        righe_.aspetta(QStringLiteral("stato chiusa"), 5000);
        sorgente.waitForFinished(10000);
    }

private:
    Righe& righe_;
    Puntatore& puntatore_;
    int mezzo_ = 0;
    QTemporaryDir sorgenti_;
    QMap<QString, QPoint> schede_;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication qapp(argc, argv);
    const double minuti = opzione(QStringLiteral("--minuti"), QStringLiteral("40")).toDouble();
    const double riscaldamento = std::min(300.0, minuti * 60 / 4);

    // The application gets a runtime folder of its own: the sound server is named to it.
    const QString server = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native");
    if (QFileInfo::exists(server))
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(server));
    else
        std::fputs("bench_durata: no sound server (run it under scripts/con-suono.sh): memos will fail\n", stderr);
    Applicazione app(opzione(QStringLiteral("--app"), QStringLiteral(HALVORA_ESEGUIBILE)));
    Puntatore puntatore;
    if (!puntatore.valido() || !app.avviata()) {
        std::fputs("bench_durata: the application did not start on this display\n", stderr);
        return 1;
    }
    const qint64 pid = app.pid();
    std::printf("soak of %.0f minutes, warm-up %.0f s, pid %lld\n", minuti, riscaldamento, static_cast<long long>(pid));
    std::fflush(stdout);

    Soak soak(app, puntatore);
    QList<Misura> campioni;
    QElapsedTimer orologio;
    orologio.start();
    qint64 prossimoCampione = 0;
    auto campiona = [&] {
        if (orologio.elapsed() < prossimoCampione)
            return;
        prossimoCampione += kCampioneMs;
        campioni << Misura{orologio.elapsed() / 1000.0, residenteMB(pid), descrittori(pid), fili(pid)};
        const Misura& m = campioni.last();
        std::printf("%7.0f s  rss %7.1f MB  fd %4d  threads %3d\n", m.secondi, m.rss, m.fd, m.fili);
        std::fflush(stdout);
    };

    for (int giro = 0; orologio.elapsed() < minuti * 60'000; ++giro) {
        campiona();
        for (int i = 0; i < 5; ++i) {
            soak.copiaQualcosa(giro * 5 + i);
            QThread::msleep(700);
        }
        if (giro % 2 == 0)
            soak.ciclo();
        if (giro % 10 == 3)
            soak.registraMemo();
        if (giro % 10 == 8)
            soak.lascia(giro);
        app.righe().disponibili();
        if (app.processo().state() != QProcess::Running) {
            std::fputs("bench_durata: the application ended during the soak\n", stderr);
            return 1;
        }
    }
    prossimoCampione = 0;
    campiona();

    // Every memo the folder lists, not only those the log called saved.
    const QDir cartellaMemo(app.casa() + QStringLiteral("/data/Halvora/Halvora/Documents/VoiceMemos"));
    QStringList memo;
    for (const QString& f : cartellaMemo.entryList({QStringLiteral("*.m4a")}, QDir::Files))
        memo << cartellaMemo.filePath(f);
    int senzaSuono = 0;
    double suono = 0;
    for (const QString& f : std::as_const(memo)) {
        const double s = secondiDiSuono(f);
        if (s < 0.5)
            ++senzaSuono;
        else
            suono += s;
    }
    const Misura& primo = campioni.first();
    const Misura& ultimo = campioni.last();
    std::printf("\n%.1f minutes: %d copies, %d open/all tabs/close cycles (%d did not open), %d memos asked "
                "(%d not saved), %d drops (%d not taken)\n",
                orologio.elapsed() / 60000.0, soak.copie, soak.cicli, soak.cicliFalliti, soak.memo, soak.memoFalliti,
                soak.lasciati, soak.lasciatiFalliti);
    std::printf("rss      %7.1f -> %7.1f MB   growth after warm-up %+8.2f MB/h\n", primo.rss, ultimo.rss,
                pendenzaOraria(campioni, riscaldamento, &Misura::rss));
    auto comeDouble = [&](int Misura::*campo) {
        QList<Misura> c = campioni;
        for (Misura& m : c)
            m.rss = m.*campo;
        return pendenzaOraria(c, riscaldamento, &Misura::rss);
    };
    std::printf("fds      %7d -> %7d      growth after warm-up %+8.2f /h\n", primo.fd, ultimo.fd, comeDouble(&Misura::fd));
    std::printf("threads  %7d -> %7d      growth after warm-up %+8.2f /h\n", primo.fili, ultimo.fili,
                comeDouble(&Misura::fili));
    std::printf("memos: %lld told saved, %lld listed, %d of them without sound, %.1f s of sound in the others\n",
                static_cast<long long>(soak.fileMemo.size()), static_cast<long long>(memo.size()), senzaSuono, suono);
    return 0;
}
