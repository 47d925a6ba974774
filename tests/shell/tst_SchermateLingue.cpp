#include "AggiornamentoCardView.h"
#include "AggiornamentoManager.h"
#include "ArchivioCalendario.h"
#include "AttivitaManager.h"
#include "BundleProva.h"
#include "CalendarioManager.h"
#include "CalendarioView.h"
#include "CameraManager.h"
#include "ClipboardManager.h"
#include "CompactMediaCard.h"
#include "CompositorePromemoria.h"
#include "CompositoreView.h"
#include "DesktopEntries.h"
#include "DropManager.h"
#include "FakeAudio.h"
#include "FakeCamera.h"
#include "FakeClock.h"
#include "FakeControlloBrowser.h"
#include "FakeFrontApplication.h"
#include "FakeInvioVicino.h"
#include "FakeNotifiche.h"
#include "FakePasteboard.h"
#include "FakePlayerTacca.h"
#include "GuidaView.h"
#include "ImpegnoCardView.h"
#include "Installazione.h"
#include "InstallazioneCardView.h"
#include "LettoreFeedFinto.h"
#include "MediaManager.h"
#include "MediaPlayerView.h"
#include "NotchStateManager.h"
#include "PannelloAperto.h"
#include "PomodoroManager.h"
#include "PromemoriaCardView.h"
#include "PropostaVideoCardView.h"
#include "RootNotchView.h"
#include "SettingsView.h"
#include "SmartTrayView.h"
#include "SuonoMuto.h"
#include "SupportoAgenda.h"
#include "TestOutput.h"
#include "Testi.h"
#include "Traduzioni.h"
#include "UserDefaults.h"
#include "VideoNotchCardView.h"
#include "VideoNotchManager.h"
#include "VoiceManager.h"
#include "X11Desktop.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Pictures of the screens a user reads, in each of the three languages, for
// a reviewer to look at (in lingue/<language>/ of the test output), and a
// check that every text these screens look up has its English and Spanish
// form (a text looked up by a key the sources do not spell out is missed by
// the tables' own check).
class TestSchermateLingue : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Notes every key looked up by our own classes, and leaves the answer to
    // the tables installed before it.
    struct Spia final : QTranslator {
        mutable QSet<QString> chiavi;
        QString translate(const char* contesto, const char* testo, const char*, int) const override
        {
            const QByteArray c(contesto ? contesto : "");
            // Qt's own widgets look up their texts in Qt's contexts.
            if (testo && !(c.size() > 1 && c[0] == 'Q' && QChar::fromLatin1(c[1]).isUpper()))
                chiavi.insert(QString::fromUtf8(testo));
            return {};
        }
        bool isEmpty() const override { return false; }
    };

    // The root view with its managers on fakes, holding what the user had:
    // copies, two files in the tray, an event and a reminder, one memo.
    struct Banco {
        FakeClock clock{QDateTime(QDate(2026, 12, 10), QTime(14, 16), Qt::LocalTime)};
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni;
        X11Desktop desktop;
        FakePasteboard appunti;
        FakeFrontApplication frontale;
        FakeInvioVicino invio;
        FakeBackendAudio audio;
        FakeNotifiche notifiche;
        SuonoMuto suono;
        std::shared_ptr<StatoCameraFinta> camera = std::make_shared<StatoCameraFinta>();
        std::shared_ptr<ArchivioFallibile> archivio;
        LettoreFeedFinto feed;
        DesktopEntries applicazioni;
        std::unique_ptr<RootNotchView> root;

        Banco(const QString& cartella) : impostazioni(cartella + QStringLiteral("/d.ini"))
        {
            const QString calendari = cartella + QStringLiteral("/calendario");
            const QDate oggi = clock.now().date();
            Prova::scriviCalendario(
                calendari, QStringLiteral("Lavoro.ics"),
                Prova::evento(QStringLiteral("e"), QStringLiteral("Riunione di progetto"),
                              QStringLiteral("DTSTART:%1\r\nDTEND:%2\r\nLOCATION:Sala Blu\r\n")
                                  .arg(Prova::ics(QDateTime(oggi, QTime(14, 0))),
                                       Prova::ics(QDateTime(oggi, QTime(15, 30))))));
            Prova::scriviCalendario(calendari, QStringLiteral("Promemoria.ics"),
                                    Prova::promemoria(QStringLiteral("p"), QStringLiteral("Pagare le bollette"),
                                                      QStringLiteral("DUE:%1\r\n").arg(Prova::ics(
                                                          QDateTime(oggi, QTime(13, 0))))));
            archivio = std::make_shared<ArchivioFallibile>(calendari);
            const QString memo = cartella + QStringLiteral("/Documents");
            QDir().mkpath(memo + QStringLiteral("/VoiceMemos"));
            QFile f(memo + QStringLiteral("/VoiceMemos/Idea per il weekend.m4a"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("audio");
            f.close();
            camera->esito = EsitoIngresso::permessoNegato;
            // An application the user keeps out of the clipboard history, with its name and icon.
            const QString app = cartella + QStringLiteral("/applications");
            QDir().mkpath(app);
            QImage icona(32, 32, QImage::Format_ARGB32);
            icona.fill(QColor(220, 60, 60));
            QVERIFY(icona.save(app + QStringLiteral("/cassaforte.png")));
            QFile voce(app + QStringLiteral("/org.example.Cassaforte.desktop"));
            QVERIFY(voce.open(QIODevice::WriteOnly));
            voce.write("[Desktop Entry]\nType=Application\nName=Cassaforte\nExec=cassaforte\nIcon=" + app.toUtf8()
                       + "/cassaforte.png\n");
            voce.close();
            applicazioni = DesktopEntries::daCartelle({app});

            FabbricaManager fm;
            fm.drop = [this] { return std::make_unique<DropManager>(invio); };
            fm.voice = [this, memo] { return std::make_unique<VoiceManager>(audio, clock, memo); };
            fm.media = [this] {
                ConfigurazioneMedia c;
                c.programmaHelper = QStringLiteral("/nonexistent/halvora-nowplaying");
                return std::make_unique<MediaManager>(clock, c);
            };
            fm.pomodoro = [this] { return std::make_unique<PomodoroManager>(clock, notifiche, suono); };
            fm.camera = [this] { return std::make_unique<CameraManager>(std::make_unique<FakeSessioneCamera>(camera)); };
            fm.clipboard = [this] { return std::make_unique<ClipboardManager>(appunti, frontale, impostazioni, clock); };
            fm.calendario = [this] { return std::make_unique<CalendarioManager>(clock, impostazioni, archivio); };
            fm.aggiornamento = [this] {
                AggiornamentoManager::Opzioni o;
                o.versioneInUso = QStringLiteral("2.0");
                o.apriURL = [](const QUrl&) {};
                return std::make_unique<AggiornamentoManager>(impostazioni, clock, feed, nullptr, o);
            };
            fm.applicazioni = &applicazioni;
            root = std::make_unique<RootNotchView>(
                stato, attivita, QSize(800, 600),
                RootNotchView::Servizi{clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {},
                                       std::move(fm)});
            root->setGeometry(0, 0, 800, 600);
            root->fineGuida();
        }
        QWidget* apri(NotchTab tab)
        {
            stato.setState(NotchState::expanded);
            stato.setActiveTab(tab);
            root->completaAnimazioni();
            return root->pannelloAperto()->modulo();
        }
        void salva(const QString& nome)
        {
            // A card's way in and out of the closed notch runs on the wall clock.
            if (stato.currentState() == NotchState::compact)
                QTest::qWait(800);
            root->completaAnimazioni();
            const QRect r = stato.currentState() == NotchState::expanded ? root->rettangoloTacca().toAlignedRect()
                                                                          : QRect(220, 0, 360, 110);
            salvaSuFondo(*root, r, QColor(128, 128, 128), nome);
        }
    };

    static void salvaMenu(QMenu* menu, const QString& nome)
    {
        QVERIFY(menu);
        menu->adjustSize();
        salvaImmagine(menu->grab().toImage(), nome);
        menu->close();
    }
    // A card or a view alone, on the notch's black, in its white.
    static void salvaSolo(QWidget& w, const QString& nome)
    {
        QPalette pal = w.palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        w.setPalette(pal);
        QImage img(w.size() * 2, QImage::Format_ARGB32);
        img.setDevicePixelRatio(2);
        img.fill(Qt::black);
        QPainter p(&img);
        w.render(&p, {}, {}, QWidget::DrawChildren);
        p.end();
        salvaImmagine(img, nome);
    }

    void schermateAperte(const QString& c)
    {
        Banco b(dir.filePath(c));
        b.root->show();
        // The tabs, with what the user had in them.
        b.root->clipboardManager()->setCopiedItems({QStringLiteral("https://halvora.app/notizie"),
                                                   QStringLiteral("Ci vediamo alle 18 davanti al cinema")});
        const QString pdf = dir.filePath(c + QStringLiteral("/relazione.pdf"));
        {
            QPdfWriter scrittore(pdf);
            QPainter p(&scrittore);
            p.drawText(100, 100, QStringLiteral("Relazione"));
        }
        const QString png = dir.filePath(c + QStringLiteral("/foto.png"));
        QImage immagine(32, 32, QImage::Format_RGB32);
        immagine.fill(QColor(60, 140, 220));
        QVERIFY(immagine.save(png, "PNG"));
        for (const QString& file : {pdf, png})
            b.root->dropManager()->addToTray(QUrl::fromLocalFile(file));
        QTRY_COMPARE(b.root->dropManager()->draggedFiles().size(), 2);
        b.root->clipboardManager()->aggiungiAppEsclusa(QStringLiteral("org.example.Cassaforte"));
        b.root->clipboardManager()->aggiungiAppEsclusa(QStringLiteral("org.example.Disinstallata"));
        b.root->aggiornamentoManager()->controllaAggiornamenti(true);
        b.feed.rispondi(QByteArray("{\"versione\":\"2.1\",\"download\":\"https://halvora.app/v\"}"));
        const char* nomi[] = {"media", "memo", "specchio", "appunti", "pomodoro", "vassoio", "calendario"};
        for (NotchTab tab : kTutteLeSchede) {
            QWidget* m = b.apri(tab);
            QVERIFY(m);
            if (tab == NotchTab::calendario) {
                CalendarioManager& cal = *b.root->calendarioManager();
                QTRY_COMPARE(cal.promemoria().size(), 1);
                QTRY_COMPARE(cal.impegniDiOggi().size(), 1);
                // A completion the store refuses: the row says why.
                b.archivio->fallisci = true;
                cal.completaPromemoria(cal.promemoria().first());
                QTRY_VERIFY(!cal.erroreDi(QStringLiteral("p")).isEmpty());
                auto* v = static_cast<CalendarioView*>(m);
                v->compositore().setNuovoPromemoria(QStringLiteral("Chiamare il dentista"));
                b.salva(c + QStringLiteral("/scheda-calendario"));
                salvaMenu(v->barra()->menuRapido(), c + QStringLiteral("/compositore-menu-rapido"));
                v->compositore().alternaDettagli();
                v->completaAnimazioni();
                b.salva(c + QStringLiteral("/compositore-dettagli"));
                salvaMenu(v->pannelloDettagli()->menuRipetizione(), c + QStringLiteral("/compositore-ripetizione"));
                salvaMenu(v->pannelloDettagli()->menuAnticipo(), c + QStringLiteral("/compositore-avviso"));
                continue;
            }
            if (tab == NotchTab::mirror) {
                b.root->cameraManager()->avviaSessione();
                b.root->cameraManager()->attendiCodaSessione();
                QTRY_VERIFY(b.root->cameraManager()->permissionDenied());
            }
            if (tab == NotchTab::memo)
                QTRY_VERIFY(!b.root->voiceManager()->recordings().isEmpty());
            b.salva(c + QStringLiteral("/scheda-") + QLatin1String(nomi[int(tab)]));
            if (tab == NotchTab::tray)
                salvaMenu(static_cast<SmartTrayView*>(m)->apriMenuConversione(), c + QStringLiteral("/menu-conversione"));
        }
        // The settings page, whole, as scrolling through it shows it.
        b.root->setShowSettings(true);
        b.root->completaAnimazioni();
        b.salva(c + QStringLiteral("/impostazioni"));
        auto* impostazioni = qobject_cast<SettingsView*>(b.root->pannelloAperto()->paginaImpostazioni());
        QVERIFY(impostazioni);
        QWidget* pagina = impostazioni->pagina();
        pagina->resize(pagina->width(), pagina->heightForWidth(pagina->width()) + 20);
        salvaSolo(*pagina, c + QStringLiteral("/impostazioni-pagina"));
        // The first run's guide, page by page.
        b.root->rivediGuida();
        b.root->completaAnimazioni();
        auto* guida = qobject_cast<GuidaView*>(b.root->pannelloAperto()->guida());
        QVERIFY(guida);
        QTRY_VERIFY(!guida->graphicsEffect()); // faded in
        for (int i = 0; i <= 10; ++i) {
            guida->completaAnimazioni();
            b.salva(c + QStringLiteral("/guida-%1").arg(i, 2, 10, QLatin1Char('0')));
            guida->vai(1);
        }
        // The notices, under the closed notch, once the update offer is put off.
        b.root->aggiornamentoManager()->ignoraVersione();
        b.root->fineGuida();
        b.stato.setState(NotchState::compact);
        const QUrl foto = QUrl::fromLocalFile(dir.filePath(c + QStringLiteral("/foto.png")));
        b.root->annunciaScreenshot(foto);
        b.salva(c + QStringLiteral("/avviso-screenshot"));
        b.clock.advance(5); // each notice after the one before
        b.root->annunciaConversione(Testi::tr("%1 immagini convertite").arg(2), foto);
        b.salva(c + QStringLiteral("/avviso-conversione"));
        b.clock.advance(5);
        b.root->annunciaFileScaricato(foto);
        b.salva(c + QStringLiteral("/avviso-scaricato"));
    }

    void schermateSchede(const QString& c)
    {
        FakeClock clock{QDateTime(QDate(2026, 12, 10), QTime(14, 16), Qt::LocalTime)};
        // Installation, from a copy outside the Applications folder.
        const QString casa = dir.filePath(c + QStringLiteral("/casa"));
        UserDefaults d(casa + QStringLiteral("/d.ini"));
        for (bool riesce : {true, false}) {
            const QString bundle = casa + (riesce ? QStringLiteral("/build/Halvora.app") : QStringLiteral("/Assente.app"));
            if (riesce)
                QVERIFY(BundleProva::crea(bundle));
            Installazione inst(Installazione::Dipendenze{
                clock, d, {bundle, bundle + QStringLiteral("/halvora"), casa, casa + QStringLiteral("/Applications")},
                [](const QString&, std::function<void(bool)> r) { r(false); },
                [](const QString&, std::function<void(bool)> r) { r(true); }, [](const QString&, const QString&) {}});
            InstallazioneCardView v(inst, {}, clock);
            v.resize(v.sizeHint());
            v.completaTransizione();
            if (riesce)
                salvaSolo(v, c + QStringLiteral("/scheda-installazione"));
            v.pulsanteAzione()->click();
            QTRY_VERIFY_WITH_TIMEOUT(v.fase().tipo != InstallazioneCardView::Fase::Tipo::inCorso, 20000);
            v.completaTransizione();
            salvaSolo(v, c + (riesce ? QStringLiteral("/scheda-installazione-fatta") : QStringLiteral("/scheda-installazione-fallita")));
        }
        // The update offer and the update installed.
        for (bool installata : {false, true}) {
            AggiornamentoCardView v({QStringLiteral("2.1"), {}, {}, installata, true}, {}, clock);
            v.resize(v.sizeHint());
            salvaSolo(v, c + (installata ? QStringLiteral("/scheda-aggiornamento-installato")
                                         : QStringLiteral("/scheda-aggiornamento")));
        }
        // The video offer and the video opening in the notch.
        VideoNotchManager::Proposta proposta;
        proposta.sessione.titolo = QStringLiteral("Concerto per violino - YouTube");
        proposta.nomeBrowser = QStringLiteral("Firefox");
        PropostaVideoCardView offerta(proposta, {}, {}, PropostaVideoCardView::coloreProposta());
        offerta.resize(offerta.sizeHint());
        salvaSolo(offerta, c + QStringLiteral("/scheda-proposta-video"));
        FakeControlloBrowser browser;
        FakePlayerTacca player;
        VideoNotchManager video{{.clock = clock, .browser = browser, .player = &player, .appAttiva = QStringLiteral("firefox")}};
        VideoNotchCardView schermo(video, 320, {});
        schermo.resize(schermo.sizeHint());
        salvaSolo(schermo, c + QStringLiteral("/scheda-video"));
        // Music, the next appointment and a reminder due, whose "Fatto" failed.
        CompactMediaCard musica(nullptr, clock);
        StatoMedia s;
        s.trackTitle = QStringLiteral("Notturno in mi bemolle");
        s.trackArtist = QStringLiteral("Orchestra da camera");
        s.isPlaying = true;
        s.currentTime = 80;
        s.totalDuration = 200;
        musica.setStato(s);
        musica.resize(musica.sizeHint());
        salvaSolo(musica, c + QStringLiteral("/scheda-musica"));
        MediaPlayerView lettore(nullptr, clock);
        lettore.setStato(s);
        lettore.resize(560, 190);
        salvaSolo(lettore, c + QStringLiteral("/scheda-media-in-riproduzione"));
        Impegno impegno;
        impegno.id = QStringLiteral("e");
        impegno.titolo = QStringLiteral("Riunione di progetto");
        impegno.inizio = clock.now().addSecs(7 * 60);
        impegno.fine = impegno.inizio.addSecs(3600);
        impegno.luogo = QStringLiteral("Sala Blu");
        ImpegnoCardView appuntamento(impegno, clock);
        appuntamento.resize(appuntamento.sizeHint());
        salvaSolo(appuntamento, c + QStringLiteral("/scheda-impegno"));
        Promemoria p;
        p.id = QStringLiteral("p");
        p.titolo = QStringLiteral("Pagare le bollette");
        p.scadenza = clock.now();
        PromemoriaCardView dovuto(p, {}, {}, clock);
        dovuto.resize(dovuto.sizeHint());
        salvaSolo(dovuto, c + QStringLiteral("/scheda-promemoria"));
        dovuto.setErrore(Testi::tr("Non completato: %1").arg(QStringLiteral("disco pieno")));
        salvaSolo(dovuto, c + QStringLiteral("/scheda-promemoria-fallito"));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void everyScreen_data()
    {
        QTest::addColumn<QString>("lingua");
        for (const char* l : {"it", "en", "es"})
            QTest::newRow(l) << QString::fromLatin1(l);
    }
    void everyScreen()
    {
        QFETCH(QString, lingua);
        QDir(DropManager::trayFolder()).removeRecursively();
        // As the application starts in that language.
        Traduzioni::installa(lingua);
        QLocale::setDefault(QLocale(lingua));
        Spia spia;
        QCoreApplication::installTranslator(&spia);
        const QString c = QStringLiteral("lingue/") + lingua;
        QDir().mkpath(QDir(cartellaOutputTest()).filePath(c));
        QDir().mkpath(dir.filePath(c));
        schermateAperte(c);
        schermateSchede(c);
        QCoreApplication::removeTranslator(&spia);
        QVERIFY(spia.chiavi.size() > 100);
        if (lingua == QLatin1String("it"))
            return;
        Traduzioni tabelle;
        QVERIFY(tabelle.carica(lingua));
        QStringList mancanti;
        for (const QString& chiave : std::as_const(spia.chiavi))
            if (tabelle.translate(nullptr, chiave.toUtf8().constData()).isEmpty())
                mancanti << chiave;
        mancanti.sort();
        QVERIFY2(mancanti.isEmpty(), qPrintable(mancanti.join(QLatin1Char('\n'))));
    }

    void cleanupTestCase()
    {
        QDir(DropManager::trayFolder()).removeRecursively();
        Traduzioni::installa(QStringLiteral("it"));
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_MAIN(TestSchermateLingue)
#include "tst_SchermateLingue.moc"
