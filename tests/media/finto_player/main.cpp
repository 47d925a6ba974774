// A stand-in MPRIS player for the bus tests: takes its state from the
// command line, changes it on stdin lines ("stato Paused", "titolo X",
// "arte URL"), and prints every command it receives on stdout.
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QSocketNotifier>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>
#include <unistd.h>

struct Stato {
    QString identita, desktop, stato, titolo, artista, traccia, arte;
    qlonglong durata = 0, posizione = 0;
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
        return m;
    }

public slots:
    void PlayPause() { scrivi(QStringLiteral("PlayPause")); }
    void Next() { scrivi(QStringLiteral("Next")); }
    void Previous() { scrivi(QStringLiteral("Previous")); }
    void Seek(qlonglong scarto) { scrivi(QStringLiteral("Seek %1").arg(scarto)); }
    void SetPosition(const QDBusObjectPath& traccia, qlonglong posizione)
    {
        scrivi(QStringLiteral("SetPosition %1 %2").arg(traccia.path()).arg(posizione));
    }

private:
    Stato* s_;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    auto arg = [&](const char* nome, const QString& predefinito = {}) {
        const int i = a.indexOf(QString::fromLatin1(nome));
        return i >= 0 && i + 1 < a.size() ? a.at(i + 1) : predefinito;
    };
    Stato s;
    const QString nome = arg("--nome", QStringLiteral("finto"));
    s.identita = arg("--identita", nome);
    s.desktop = arg("--desktop");
    s.stato = arg("--stato", QStringLiteral("Playing"));
    s.titolo = arg("--titolo", QStringLiteral("Brano"));
    s.artista = arg("--artista");
    s.traccia = arg("--traccia");
    s.arte = arg("--arte");
    s.durata = arg("--durata-us", QStringLiteral("0")).toLongLong();
    s.posizione = arg("--posizione-us", QStringLiteral("0")).toLongLong();

    QObject oggetto;
    new Radice(&oggetto, &s);
    new Player(&oggetto, &s);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), &oggetto)
        || !bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.") + nome))
        return 1;
    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, &app, [&] {
        char riga[1024];
        if (!std::fgets(riga, sizeof riga, stdin)) {
            app.quit();
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
        scrivi(QStringLiteral("ok ") + chiave);
    });
    scrivi(QStringLiteral("pronto"));
    return app.exec();
}

#include "main.moc"
