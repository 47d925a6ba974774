// The real application on a virtual display under a window manager and a
// compositor, with a window of the test going full screen in front of it.
#include "AppRealeX11.h"
#include "TestOutput.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <xcb/xcb.h>

namespace {

const QColor kSchermoIntero(40, 150, 70);

QImage schermata(const QString& nome)
{
    return salvaImmagine(QGuiApplication::primaryScreen()->grabWindow(0).toImage(), nome);
}

bool scuro(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 70;
}

bool verde(const QImage& img, int x, int y)
{
    const QColor c = img.pixelColor(x, y);
    return std::abs(c.red() - kSchermoIntero.red()) + std::abs(c.green() - kSchermoIntero.green())
               + std::abs(c.blue() - kSchermoIntero.blue())
           < 30;
}

// The pids of the windows the window manager lists (taskbars and pagers show these).
QList<quint32> pidElencati()
{
    QList<quint32> pid;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return pid;
    }
    auto atomo = [c](const char* nome) {
        auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(nome)), nome), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        std::free(r);
        return a;
    };
    const xcb_window_t radice = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    auto* lista = xcb_get_property_reply(
        c, xcb_get_property(c, 0, radice, atomo("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 1024), nullptr);
    const xcb_atom_t aPid = atomo("_NET_WM_PID");
    if (lista && lista->format == 32) {
        const auto* w = static_cast<const xcb_window_t*>(xcb_get_property_value(lista));
        for (int i = 0; i < xcb_get_property_value_length(lista) / 4; ++i) {
            auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, w[i], aPid, XCB_ATOM_CARDINAL, 0, 1), nullptr);
            if (r && xcb_get_property_value_length(r) >= 4)
                pid << *static_cast<const quint32*>(xcb_get_property_value(r));
            std::free(r);
        }
    }
    std::free(lista);
    xcb_disconnect(c);
    return pid;
}

} // namespace

class TestSchermoInteroX11 : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    QProcess app;
    AppRealeX11::Righe righe{app};
    QWidget davanti;

    void avvia(QProcess& p, const QStringList& argomenti = {})
    {
        p.setProcessEnvironment(AppRealeX11::ambiente(casa));
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(HALVORA_ESEGUIBILE), argomenti);
        QVERIFY(p.waitForStarted());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(casa.isValid());
        // The agenda has been used, and a reminder fell due a minute ago.
        QDir().mkpath(casa.filePath(QStringLiteral("config/Halvora")));
        QFile ini(casa.filePath(QStringLiteral("config/Halvora/Halvora.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nguidaVista=true\navvisoPosizioneMostrato=true\nbenvenutoOrbelleMostrato=true\ncalendario.giaUsato=true\n");
        ini.close();
        const QString cartella = casa.filePath(QStringLiteral("data/Halvora/Halvora/calendario"));
        QDir().mkpath(cartella);
        QFile ics(QDir(cartella).filePath(QStringLiteral("promemoria.ics")));
        QVERIFY(ics.open(QIODevice::WriteOnly));
        const QString scadenza = QDateTime::currentDateTime().addSecs(-60).toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
        ics.write(QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Prova//IT\r\nBEGIN:VTODO\r\nUID:p\r\n"
                                 "SUMMARY:Chiamare Anna\r\nDUE:%1\r\nEND:VTODO\r\nEND:VCALENDAR\r\n")
                      .arg(scadenza)
                      .toUtf8());
        ics.close();
        AppRealeX11::muoviPuntatore(960, 700);
        avvia(app);
        QVERIFY(righe.aspetta(QStringLiteral("pronta"), 10000));
        QVERIFY(righe.aspetta(QStringLiteral("scheda promemoria"), 10000));
    }

    void aFullScreenWindowLeavesTheStripAndTheDueReminderOnly()
    {
        davanti.setStyleSheet(QStringLiteral("background: %1").arg(kSchermoIntero.name()));
        davanti.setWindowTitle(QStringLiteral("davanti"));
        davanti.setGeometry(100, 500, 600, 400); // away from the notch once no longer full screen
        davanti.showFullScreen();
        QVERIFY(QTest::qWaitForWindowActive(&davanti));
        // A busy window manager makes it full screen a while after it is active.
        auto punto = [](int x, int y) { return QGuiApplication::primaryScreen()->grabWindow(0, x, y, 1, 1).toImage(); };
        QTRY_VERIFY_WITH_TIMEOUT(verde(punto(300, 300), 0, 0) && verde(punto(1900, 1000), 0, 0), 10000);
        QTest::qWait(500); // and the application hears of it
        // A notice waits while the window is full screen: the reminder stays.
        QProcess seconda;
        avvia(seconda, {QStringLiteral("halvora://attivita?titolo=Ciao&durata=10")});
        QVERIFY(seconda.waitForFinished(5000));
        QVERIFY(righe.aspetta(QStringLiteral("attivita Ciao")));
        QVERIFY(!righe.aspetta(QStringLiteral("scheda attivita"), 500));
        QTest::qWait(800); // the card's spring settles
        const QImage img = schermata(QStringLiteral("schermo-intero"));
        QVERIFY(verde(img, 300, 300)); // the window does cover the screen
        QVERIFY(verde(img, 960, 900));
        QVERIFY(scuro(img, 960, 16)); // the strip, over it at the top centre
        QVERIFY(scuro(img, 872, 16));
        QVERIFY(verde(img, 860, 16));
        QVERIFY(!verde(img, 960, 63)); // the reminder hangs 8 under the strip
        // It stays out of the window's way: the window keeps the keyboard
        // and the manager lists no window of the application.
        QCOMPARE(QGuiApplication::focusWindow(), davanti.windowHandle());
        QVERIFY(!pidElencati().contains(static_cast<quint32>(app.processId())));
        QVERIFY(!pidElencati().isEmpty());

        // Raised again when the full-screen window is raised over it.
        davanti.raise();
        QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-a"), davanti.windowTitle()});
        QTest::qWait(300);
        QVERIFY(scuro(schermata(QStringLiteral("schermo-intero-rialzata")), 960, 16));

        davanti.showNormal();
        QVERIFY(righe.aspetta(QStringLiteral("scheda attivita")));
        QTest::qWait(800);
        const QImage dopo = schermata(QStringLiteral("schermo-intero-finito"));
        QVERIFY(scuro(dopo, 960, 16));
    }

    void theOpenContentFadesInAndOut()
    {
        // The tab row of the open tray panel: its brightest pixel, and
        // whether the notch shape already lies under it.
        const QRect riga(1060, 48, 58, 34); // the last tabs, clear of a card leaving
        auto fotogrammi = [&] {
            QList<QImage> f;
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 900)
                f << QGuiApplication::primaryScreen()->grabWindow(0, 730, 0, 460, 100).toImage();
            return f;
        };
        auto piuChiaro = [&](const QImage& img) {
            int m = 0;
            for (int y = riga.top(); y < riga.bottom(); ++y)
                for (int x = riga.left() - 730; x < riga.right() - 730; ++x)
                    m = std::max(m, qGray(img.pixel(x, y)));
            return m;
        };
        auto sottoLaRiga = [&](const QImage& img) {
            return scuro(img, riga.left() - 730, riga.bottom() + 4) && scuro(img, riga.right() - 730, riga.bottom() + 4);
        };
        // Partly there: the shape already covers the row, its content not yet (or no longer) all.
        auto inDissolvenza = [&](const QList<QImage>& f, int pieno) {
            for (const QImage& img : f)
                if (sottoLaRiga(img) && piuChiaro(img) > pieno / 5 && piuChiaro(img) < pieno * 17 / 20)
                    return true;
            return false;
        };
        // Over a white window, where the shape shows dark.
        QLabel dietro;
        QPixmap bianco(1920, 500);
        bianco.fill(Qt::white);
        dietro.setPixmap(bianco);
        dietro.setWindowFlags(Qt::FramelessWindowHint);
        dietro.setGeometry(0, 0, 1920, 500);
        dietro.show();
        QVERIFY(QTest::qWaitForWindowActive(&dietro));
        // A busy machine may draw a whole fade as one frame: each fade gets
        // three tries to be caught part way.
        auto apri = [&] {
            AppRealeX11::muoviPuntatore(960, 10);
            const QList<QImage> f = fotogrammi();
            return righe.aspetta(QStringLiteral("stato aperta")) ? f : QList<QImage>();
        };
        auto chiudi = [&] {
            AppRealeX11::muoviPuntatore(960, 700);
            const QList<QImage> f = fotogrammi();
            return righe.aspetta(QStringLiteral("stato chiusa")) ? f : QList<QImage>();
        };
        QList<QImage> entrata = apri();
        QVERIFY(!entrata.isEmpty());
        QTest::qWait(600);
        const QImage aperta = QGuiApplication::primaryScreen()->grabWindow(0, 730, 0, 460, 100).toImage();
        const int pieno = piuChiaro(aperta);
        QVERIFY2(pieno > 120, qPrintable(QString::number(pieno)));
        for (int prova = 1; prova < 3 && !inDissolvenza(entrata, pieno); ++prova) {
            QVERIFY(!chiudi().isEmpty());
            QTest::qWait(600);
            entrata = apri();
            QTest::qWait(600);
        }
        for (int i = 0; i < std::min<qsizetype>(entrata.size(), 12); ++i)
            entrata[i].save(QDir(cartellaOutputTest()).filePath(QStringLiteral("dissolvenza-%1.png").arg(i)));
        QVERIFY(inDissolvenza(entrata, pieno));
        schermata(QStringLiteral("materiale-bianco"));

        // A click in the open panel gives it the keyboard and keeps it open;
        // closing hands the keyboard back to the window that had it.
        AppRealeX11::xdotool({QStringLiteral("mousemove"), QStringLiteral("745"), QStringLiteral("20")});
        AppRealeX11::xdotool({QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY(QGuiApplication::focusWindow() != dietro.windowHandle());
        QVERIFY(!righe.aspetta(QStringLiteral("stato chiusa"), 500));

        QList<QImage> uscita = chiudi();
        QVERIFY(!uscita.isEmpty());
        QTRY_COMPARE(QGuiApplication::focusWindow(), dietro.windowHandle());
        for (int prova = 1; prova < 3 && !inDissolvenza(uscita, pieno); ++prova) {
            QTest::qWait(600);
            QVERIFY(!apri().isEmpty());
            QTest::qWait(600);
            uscita = chiudi();
        }
        QVERIFY(inDissolvenza(uscita, pieno));

        // Over a busy picture: stripes, shapes and text of every shade.
        QPixmap fitta(1920, 500);
        fitta.fill(Qt::white);
        QPainter p(&fitta);
        for (int i = 0; i < 1920; i += 24) {
            p.fillRect(i, 0, 12, 500, QColor::fromHsv((i / 3) % 360, 200, 120 + (i % 120)));
            p.setPen(i % 48 ? Qt::black : Qt::white);
            for (int y = 14; y < 500; y += 18)
                p.drawText(i, y, QStringLiteral("Testo %1").arg(y));
        }
        p.end();
        dietro.setPixmap(fitta);
        AppRealeX11::muoviPuntatore(960, 10);
        QVERIFY(righe.aspetta(QStringLiteral("stato aperta")));
        QTest::qWait(700);
        schermata(QStringLiteral("materiale-fitta"));
        AppRealeX11::muoviPuntatore(960, 700);
        QVERIFY(righe.aspetta(QStringLiteral("stato chiusa")));
    }

    void cleanupTestCase()
    {
        app.terminate();
        if (!app.waitForFinished(5000))
            app.kill();
    }
};

QTEST_MAIN(TestSchermoInteroX11)
#include "tst_SchermoInteroX11.moc"
