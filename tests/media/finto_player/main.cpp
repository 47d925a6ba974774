// A stand-in MPRIS player for the bus tests: takes its state from the
// command line, changes it on stdin lines ("stato Paused", "titolo X",
// "arte URL", "url U", "posizione-us N"), and prints every call it
// receives on stdout ("PlayPause", "Play", "Pause", "Next", "Previous",
// "Seek <us>", "SetPosition <track> <us>") after "pronto".
//
// With --browser it stands in for a web browser of the Chromium family,
// for the notch video's tests: its player is named as theirs
// (org.mpris.MediaPlayer2.chromium.instance<pid>, DesktopEntry "chromium",
// Identity "Chromium"), it follows Play, Pause and seeks, it shows one
// window titled "<title> - YouTube - <brand>" (--marca, _NET_WM_PID its
// own), and with --dati USER_DATA_DIR keeps a profile whose session file
// lists its one tab (--url; also published as xesam:url with --xesam).
// With --chromium-reale it writes what a real Chromium writes after an
// address was typed: the tab without a title, in the profile that
// "--user-data-dir=DIR" and "--profile-directory=NAME" name, and its
// command line rewritten into one string joined by spaces.
// Started as "--inoltra FILE <args>" (as a desktop entry's Exec starts a
// second copy) it appends <args> to FILE and ends, as a browser hands an
// address to its running copy.
#include "ScritturaSessioneChromium.h"

#include <QApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

struct Stato {
    QString identita, desktop, stato, titolo, artista, traccia, arte, url;
    qlonglong durata = 0, posizione = 0;
    bool browser = false, xesam = false, reale = false;
};

static void scrivi(const QString& riga)
{
    std::fputs(qPrintable(riga + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

class Radice : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
public:
    Radice(QObject* o, Stato* s) : QDBusAbstractAdaptor(o), s_(s) {}
    QString identity() const { return s_->identita; }
    QString desktopEntry() const { return s_->desktop; }

private:
    Stato* s_;
};

class Player : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(double Rate READ rate)
public:
    Player(QObject* o, Stato* s) : QDBusAbstractAdaptor(o), s_(s) {}
    QString playbackStatus() const { return s_->stato; }
    qlonglong position() const { return s_->posizione; }
    bool canSeek() const { return true; }
    double rate() const { return 1.0; }
    QVariantMap metadata() const
    {
        QVariantMap m;
        m.insert(QStringLiteral("xesam:title"), s_->titolo);
        if (!s_->artista.isEmpty())
            m.insert(QStringLiteral("xesam:artist"), QStringList{s_->artista});
        if (s_->durata > 0)
            m.insert(QStringLiteral("mpris:length"), s_->durata);
        if (!s_->traccia.isEmpty())
            m.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(s_->traccia)));
        if (!s_->arte.isEmpty())
            m.insert(QStringLiteral("mpris:artUrl"), s_->arte);
        if (s_->xesam)
            m.insert(QStringLiteral("xesam:url"), s_->url);
        return m;
    }

public slots:
    void PlayPause() { scrivi(QStringLiteral("PlayPause")); }
    void Next() { scrivi(QStringLiteral("Next")); }
    void Previous() { scrivi(QStringLiteral("Previous")); }
    void Play() { segui(QStringLiteral("Play"), QStringLiteral("Playing")); }
    void Pause() { segui(QStringLiteral("Pause"), QStringLiteral("Paused")); }
    void Seek(qlonglong scarto)
    {
        if (s_->browser)
            s_->posizione = std::max<qlonglong>(0, s_->posizione + scarto);
        scrivi(QStringLiteral("Seek %1").arg(scarto));
    }
    void SetPosition(const QDBusObjectPath& traccia, qlonglong posizione)
    {
        if (s_->browser && traccia.path() == s_->traccia)
            s_->posizione = posizione;
        scrivi(QStringLiteral("SetPosition %1 %2").arg(traccia.path()).arg(posizione));
    }

private:
    // A browser follows the calls it gets; the plain player only notes them.
    void segui(const QString& chiamata, const QString& stato)
    {
        if (s_->browser)
            s_->stato = stato;
        scrivi(chiamata);
    }
    Stato* s_;
};

int main(int argc, char** argv)
{
    if (argc >= 3 && QByteArray(argv[1]) == "--inoltra") {
        QFile f(QString::fromLocal8Bit(argv[2]));
        if (!f.open(QIODevice::Append))
            return 1;
        for (int i = 3; i < argc; ++i)
            f.write(QByteArray(argv[i]) + '\n');
        return 0;
    }
    QStringList a;
    for (int i = 0; i < argc; ++i)
        a << QString::fromLocal8Bit(argv[i]);
    Stato s;
    s.browser = a.contains(QStringLiteral("--browser"));
    // Only the browser has a window: the plain player needs no display.
    std::unique_ptr<QCoreApplication> app(s.browser ? new QApplication(argc, argv) : new QCoreApplication(argc, argv));
    auto arg = [&](const char* nome, const QString& predefinito = {}) {
        const int i = a.indexOf(QString::fromLatin1(nome));
        return i >= 0 && i + 1 < a.size() ? a.at(i + 1) : predefinito;
    };
    const QString nome = arg("--nome", s.browser ? QStringLiteral("chromium.instance%1").arg(getpid()) : QStringLiteral("finto"));
    s.identita = arg("--identita", s.browser ? QStringLiteral("Chromium") : nome);
    s.desktop = arg("--desktop", s.browser ? QStringLiteral("chromium") : QString());
    s.stato = arg("--stato", QStringLiteral("Playing"));
    s.titolo = arg("--titolo", QStringLiteral("Brano"));
    s.artista = arg("--artista");
    s.traccia = arg("--traccia", s.browser ? QStringLiteral("/org/chromium/MediaPlayer2/TrackList/Track1") : QString());
    s.arte = arg("--arte");
    s.url = arg("--url", QStringLiteral("https://www.youtube.com/watch?v=dQw4w9WgXcQ"));
    s.xesam = a.contains(QStringLiteral("--xesam"));
    s.reale = a.contains(QStringLiteral("--chromium-reale"));
    s.durata = arg("--durata-us", QStringLiteral("0")).toLongLong();
    s.posizione = arg("--posizione-us", QStringLiteral("0")).toLongLong();

    // The browser's one tab, as its window and its session file show it.
    auto valore = [&](const QString& chiave) {
        const auto it = std::find_if(a.cbegin(), a.cend(), [&](const QString& x) { return x.startsWith(chiave + QLatin1Char('=')); });
        return it == a.cend() ? QString() : it->mid(chiave.size() + 1);
    };
    const QString marca = arg("--marca", s.reale ? QStringLiteral("Chromium") : QStringLiteral("Google Chrome"));
    const QString dati = s.reale ? valore(QStringLiteral("--user-data-dir")) : arg("--dati");
    QString profilo = valore(QStringLiteral("--profile-directory"));
    if (profilo.isEmpty())
        profilo = QStringLiteral("Default");
    std::unique_ptr<QWidget> finestra;
    auto mostraScheda = [&] {
        if (!s.browser)
            return;
        const QString titolo = s.titolo + QStringLiteral(" - YouTube");
        finestra->setWindowTitle(titolo + QStringLiteral(" - ") + marca);
        if (dati.isEmpty())
            return;
        QDir(dati).mkpath(profilo + QStringLiteral("/Sessions"));
        ScritturaSessioneChromium w;
        w.finestraDellaScheda(1, 1);
        w.posizione(1, 0);
        w.navigazione(1, 0, s.url.toUtf8(), s.reale ? QString() : titolo);
        w.schedaScelta(1, 0);
        w.salva(QDir(dati).filePath(profilo + QStringLiteral("/Sessions/Session_1")));
    };
    if (s.browser) {
        finestra = std::make_unique<QWidget>();
        finestra->setGeometry(100, 300, 640, 400);
        finestra->show();
    }
    mostraScheda();
    if (s.reale) // as Chromium retitles its process: the arguments' NULs become spaces
        for (int i = 0; i + 1 < argc; ++i)
            argv[i][std::strlen(argv[i])] = ' ';

    QObject oggetto;
    new Radice(&oggetto, &s);
    new Player(&oggetto, &s);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), &oggetto)
        || !bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.") + nome))
        return 1;
    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, app.get(), [&] {
        char riga[2048];
        if (!std::fgets(riga, sizeof riga, stdin)) {
            app->quit();
            return;
        }
        const QString r = QString::fromUtf8(riga).trimmed();
        const QString chiave = r.section(QLatin1Char(' '), 0, 0), valore = r.section(QLatin1Char(' '), 1);
        if (chiave == QLatin1String("stato"))
            s.stato = valore;
        else if (chiave == QLatin1String("titolo"))
            s.titolo = valore;
        else if (chiave == QLatin1String("arte"))
            s.arte = valore;
        else if (chiave == QLatin1String("url"))
            s.url = valore;
        else if (chiave == QLatin1String("posizione-us"))
            s.posizione = valore.toLongLong();
        mostraScheda();
        scrivi(QStringLiteral("ok ") + chiave);
    });
    scrivi(QStringLiteral("pronto"));
    return app->exec();
}

#include "main.moc"
