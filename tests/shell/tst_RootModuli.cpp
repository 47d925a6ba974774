#include "AggiornamentoManager.h"
#include "AiutanteCatturaFinto.h"
#include "ArchivioCalendario.h"
#include "AttivitaManager.h"
#include "AvvisoAperto.h"
#include "CalendarioManager.h"
#include "CalendarioView.h"
#include "CompositoreView.h"
#include "CameraManager.h"
#include "ClipboardManager.h"
#include "ClipboardView.h"
#include "CodaArchivio.h"
#include "CompactMediaCard.h"
#include "DownloadMonitor.h"
#include "DropManager.h"
#include "FakeAudio.h"
#include "FakeCamera.h"
#include "FakeClock.h"
#include "FakeFrontApplication.h"
#include "FakeInvioVicino.h"
#include "FakeNotifiche.h"
#include "FakePasteboard.h"
#include "MediaManager.h"
#include "MediaPlayerView.h"
#include "NotchStateManager.h"
#include "AreaSchede.h"
#include "BarraSchede.h"
#include "PannelloAperto.h"
#include "PomodoroManager.h"
#include "Reazioni.h"
#include "RigaInterruttore.h"
#include "RootNotchView.h"
#include "SalvataggioSicuro.h"
#include "SlotScheda.h"
#include "SmartTrayView.h"
#include "SuonoAllarme.h"
#include "TestOutput.h"
#include "UserDefaults.h"
#include "LettoreUsoIAFisso.h"
#include "SettingsManager.h"
#include "UsoIACardView.h"
#include "UsoIAMonitor.h"
#include "VoiceManager.h"
#include "VoiceMemoView.h"
#include "X11Desktop.h"
#include "SuonoMuto.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QSignalSpy>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QMenu>
#include <QTest>
#include <atomic>
#include <cerrno>
#include <cmath>

namespace {
// A folder store whose writes fail while `pieno` is set, as on a full disk.
class ArchivioPieno final : public ArchivioCalendario {
public:
    ArchivioPieno(const QString& cartella, std::atomic<bool>& pieno) : ArchivioCalendario(cartella), pieno_(pieno) {}

protected:
    bool scrivi(const QString& percorso, const QByteArray& contenuto, QString* errore) override
    {
        if (!pieno_)
            return ArchivioCalendario::scrivi(percorso, contenuto, errore);
        *errore = SalvataggioSicuro::Errore{ENOSPC}.testo();
        return false;
    }

private:
    std::atomic<bool>& pieno_;
};
} // namespace

// The root view's managers come from the factory it is given, and the open
// panel shows the view of the active tab. The managers here sit on fakes and
// a clock that never moves, so nothing reaches the desktop.
class TestRootModuli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    struct Banco {
        FakeClock clock;
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
        QString memo;
        QString scaricati = memo + QStringLiteral("-scaricati");
        std::atomic<bool> discoPieno = false; // the calendar folder's writes fail
        std::unique_ptr<RootNotchView> root;

        Banco(const QString& ini, const QString& cartellaMemo, bool conManager)
            : impostazioni(ini), memo(cartellaMemo)
        {
            QDir().mkpath(scaricati);
            FabbricaManager f;
            if (conManager) {
                f.drop = [this] {
                    QDir().mkpath(memo + QStringLiteral("-cattura"));
                    const QString aiutante = AiutanteCatturaFinto::scrivi(memo + QStringLiteral("-cattura"),
                                                                          AiutanteCatturaFinto::salva());
                    return std::make_unique<DropManager>(invio, std::make_unique<CatturaSchermo>(clock, aiutante));
                };
                f.voice = [this] { return std::make_unique<VoiceManager>(audio, clock, memo); };
                f.media = [this] {
                    ConfigurazioneMedia c;
                    c.programmaHelper = QStringLiteral("/nonexistent/halvora-nowplaying");
                    return std::make_unique<MediaManager>(clock, c);
                };
                f.pomodoro = [this] { return std::make_unique<PomodoroManager>(clock, notifiche, suono); };
                f.usoIA = [this] {
                    const LetturaUsoIA claude{FornitoreIA::claude, LimiteIA{42, std::nullopt, false},
                                              LimiteIA{10, std::nullopt, false}, clock.now()};
                    UsoIAMonitor::Lettori lettori{{FornitoreIA::claude, std::make_shared<LettoreUsoIAFisso>(claude)},
                                                  {FornitoreIA::codex, std::make_shared<LettoreUsoIAFisso>(std::nullopt)}};
                    return std::make_unique<UsoIAMonitor>(clock, impostazioni, frontale, lettori,
                                                          QStringLiteral("halvora"));
                };
                f.camera = [this] {
                    return std::make_unique<CameraManager>(std::make_unique<FakeSessioneCamera>(camera));
                };
                f.download = [this] { return std::make_unique<DownloadMonitor>(clock, scaricati); };
                f.clipboard = [this] {
                    return std::make_unique<ClipboardManager>(appunti, frontale, impostazioni, clock);
                };
                f.calendario = [this] {
                    return std::make_unique<CalendarioManager>(
                        clock, impostazioni, std::make_shared<ArchivioPieno>(memo + QStringLiteral("-calendario"), discoPieno));
                };
            }
            root = std::make_unique<RootNotchView>(
                stato, attivita, QSize(800, 600),
                RootNotchView::Servizi{clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {},
                                       std::move(f)});
            root->setGeometry(0, 0, 800, 600);
        }
        QWidget* apri(NotchTab tab)
        {
            stato.setState(NotchState::expanded);
            stato.setActiveTab(tab);
            root->completaAnimazioni();
            return root->pannelloAperto()->modulo();
        }
        // The closed strip and the card under it.
        void renderChiusa(const QString& nome)
        {
            root->completaAnimazioni();
            salva(QRect(0, 0, 800, 200), nome);
        }
        QImage render(const QString& nome)
        {
            return salva(root->rettangoloTacca().toAlignedRect(), nome);
        }
        QImage salva(const QRect& r, const QString& nome)
        {
            return salvaSuFondo(*root, r, QColor(128, 128, 128), nome);
        }
    };

    std::unique_ptr<Banco> banco(bool conManager = true)
    {
        static int n = 0;
        ++n;
        return std::make_unique<Banco>(dir.filePath(QStringLiteral("m%1.ini").arg(n)),
                                       dir.filePath(QStringLiteral("doc%1").arg(n)), conManager);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }
    // The tray lists the copies its folder holds: each case starts with none.
    void init() { QDir(DropManager::trayFolder()).removeRecursively(); }

    void theManagersAreMadeOnceInTheirOrder()
    {
        FakeClock clock;
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni(dir.filePath(QStringLiteral("ordine.ini")));
        X11Desktop desktop;
        QStringList fatti;
        auto annota = [&fatti](const char* nome) {
            return [&fatti, nome] {
                fatti << QString::fromLatin1(nome);
                return nullptr;
            };
        };
        FabbricaManager f;
        f.drop = annota("drop");
        f.voice = annota("voice");
        f.pomodoro = annota("pomodoro");
        f.media = annota("media");
        f.camera = annota("camera");
        f.clipboard = annota("clipboard");
        f.calendario = annota("calendario");
        f.aggiornamento = annota("aggiornamento");
        f.usoIA = annota("usoIA");
        f.download = annota("download");
        RootNotchView root(stato, attivita, QSize(800, 600),
                           {clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {}, f});
        stato.setState(NotchState::expanded);
        for (NotchTab t : kTutteLeSchede)
            stato.setActiveTab(t);
        QCOMPARE(fatti, (QStringList{"drop", "voice", "pomodoro", "media", "camera", "clipboard", "download",
                                     "calendario", "aggiornamento", "usoIA"}));
    }

    void eachTabShowsItsFeatureView_data()
    {
        QTest::addColumn<NotchTab>("tab");
        QTest::addColumn<QString>("classe");
        QTest::newRow("media") << NotchTab::media << QStringLiteral("MediaPlayerView");
        QTest::newRow("memo") << NotchTab::memo << QStringLiteral("VoiceMemoView");
        QTest::newRow("clipboard") << NotchTab::clipboard << QStringLiteral("ClipboardView");
        QTest::newRow("tray") << NotchTab::tray << QStringLiteral("SmartTrayView");
        QTest::newRow("mirror") << NotchTab::mirror << QStringLiteral("MirrorView");
        QTest::newRow("pomodoro") << NotchTab::pomodoro << QStringLiteral("PomodoroView");
        QTest::newRow("calendario") << NotchTab::calendario << QStringLiteral("CalendarioView");
    }

    void eachTabShowsItsFeatureView()
    {
        QFETCH(NotchTab, tab);
        QFETCH(QString, classe);
        auto b = banco();
        // Start elsewhere so the tab under test is a change.
        b->stato.setActiveTab(tab == NotchTab::calendario ? NotchTab::media : NotchTab::calendario);
        QWidget* m = b->apri(tab);
        PannelloAperto* pannello = b->root->pannelloAperto();
        if (classe.isEmpty()) {
            QVERIFY(!m);
            return;
        }
        QVERIFY(m);
        QCOMPARE(QString::fromLatin1(m->metaObject()->className()), classe);
        QCOMPARE(m->parentWidget(), &pannello->areaSchede());
        const QRect area = pannello->areaModulo();
        QCOMPARE(m->geometry().topLeft(), area.topLeft());
        QCOMPARE(m->width(), area.width());
        QVERIFY(m->height() <= area.height() && m->height() > 0);
        QVERIFY(m->isVisibleTo(pannello));
        const QImage img = b->render(QStringLiteral("modulo-") + QString::fromLatin1(QTest::currentDataTag()));
        // Something is drawn in the module area, over the dark panel.
        const QImage zona = img.copy(area.adjusted(0, 0, 0, -area.height() / 2));
        QSet<QRgb> colori;
        for (int y = 0; y < zona.height(); y += 3)
            for (int x = 0; x < zona.width(); x += 3)
                colori.insert(zona.pixel(x, y));
        QVERIFY2(colori.size() > 4, qPrintable(QString::number(colori.size())));
    }

    void oneModulePerTabChange()
    {
        auto b = banco();
        QPointer<QWidget> primo = b->apri(NotchTab::media);
        QVERIFY(primo);
        b->stato.setActiveTab(NotchTab::media);
        QCOMPARE(b->root->pannelloAperto()->modulo(), primo.data());
        QPointer<QWidget> secondo = b->apri(NotchTab::tray);
        QVERIFY(secondo && secondo != primo);
        QVERIFY(primo->isHidden());
        QTRY_VERIFY(!primo); // the old module is released
        QCOMPARE(b->root->pannelloAperto()->modulo(), secondo.data());
    }

    void theSettingsPageTakesThePlaceOfTheModule()
    {
        auto b = banco();
        PannelloAperto& pannello = *b->root->pannelloAperto();
        QPointer<QWidget> m = b->apri(NotchTab::clipboard);
        QVERIFY(m && m->isVisibleTo(&pannello));
        QSignalSpy cambi(b->root.get(), &RootNotchView::showSettingsChanged);
        QTest::mouseClick(pannello.childAt(pannello.rettangoloGear().center()), Qt::LeftButton);
        QVERIFY(b->root->showSettings());
        QCOMPARE(cambi.count(), 1);
        // No feature view lives behind the settings page, even across a tab change.
        QTRY_VERIFY(!m);
        b->stato.setActiveTab(NotchTab::memo);
        QVERIFY(!pannello.modulo());
        QPointer<QWidget> pagina = pannello.paginaImpostazioni();
        QVERIFY(pagina && pagina->isVisibleTo(&pannello));
        QCOMPARE(pagina->geometry(), pannello.rect());
        QVERIFY(!pannello.areaSchede().isVisibleTo(&pannello));
        QVERIFY(!pannello.rigaVisibile()); // ring and gear do not show over the settings
        // The page's way back: a fresh module of the tab now active.
        b->root->setShowSettings(false);
        QCOMPARE(cambi.count(), 2);
        QTRY_VERIFY(!pagina);
        QVERIFY(qobject_cast<VoiceMemoView*>(pannello.modulo()));
        QVERIFY(pannello.modulo()->isVisibleTo(&pannello) && pannello.rigaVisibile());
    }

    // The first frame of a change starts from the picture at rest: the old
    // module, whole and at its own size, has only begun to leave towards
    // the side opposite the change, cut by nothing but the shape, and the
    // new one comes from the other side.
    void theFirstFrameOfAChangeStartsFromThePictureAtRest_data()
    {
        QTest::addColumn<NotchTab>("da");
        QTest::addColumn<NotchTab>("a");
        QTest::addColumn<bool>("daDestra");
        QTest::newRow("tray to mirror, wider and taller") << NotchTab::tray << NotchTab::mirror << true;
        QTest::newRow("mirror to tray, narrower and shorter") << NotchTab::mirror << NotchTab::tray << false;
        QTest::newRow("memo to media, much shorter") << NotchTab::memo << NotchTab::media << true;
        QTest::newRow("tray to clipboard, narrower") << NotchTab::tray << NotchTab::clipboard << true;
    }
    void theFirstFrameOfAChangeStartsFromThePictureAtRest()
    {
        QFETCH(NotchTab, da);
        QFETCH(NotchTab, a);
        QFETCH(bool, daDestra);
        auto b = banco();
        b->root->show(); // only a change the user sees slides
        b->apri(da);
        AreaSchede& area = b->root->pannelloAperto()->areaSchede();
        const QRect riposo = area.areaModulo().translated(area.mapTo(b->root.get(), QPoint()));
        const QImage prima = b->salva(QRect(0, 0, 800, 600), QStringLiteral("primo-passo-prima"));
        b->root->barra().selezionaTab(a);
        QCoreApplication::sendPostedEvents(); // the first step, with nothing built yet
        const QList<AreaSchede::Passaggio> passaggi = area.passaggi();
        QVERIFY(!passaggi.isEmpty() && passaggi.first().tab == da);
        // The first frame drawn with both modules.
        QList<AreaSchede::Passaggio> entrambi;
        connect(&area, &AreaSchede::aspettoCambiato, this, [&] {
            if (entrambi.isEmpty() && area.passaggi().size() == 2)
                entrambi = area.passaggi();
        });
        const QRectF vecchio = passaggi.first().dove.translated(area.mapTo(b->root.get(), QPoint()));
        // At its own size, a step along its way out and none back.
        QCOMPARE(vecchio.size(), QSizeF(riposo.size()));
        QCOMPARE(vecchio.top(), double(riposo.top()));
        const double passo = (vecchio.left() - riposo.left()) * (daDestra ? -1 : 1);
        QVERIFY2(passo >= 0 && passo < 0.1 * riposo.width(), qPrintable(QString::number(passo)));
        // Drawn whole: every pixel of it inside the shape is the picture at
        // rest moved by that step, barely faded.
        const QImage ora = b->salva(QRect(0, 0, 800, 600), QStringLiteral("primo-passo"));
        const QRectF forma = b->root->rettangoloTacca().adjusted(3, 3, -3, -30);
        const int dx = qRound(vecchio.left()) - riposo.left();
        int confrontati = 0, diversi = 0;
        for (int y = riposo.top(); y <= riposo.bottom(); ++y)
            for (int x = riposo.left(); x <= riposo.right(); ++x)
                if (forma.contains(x + dx, y)) {
                    ++confrontati;
                    diversi += scartoMassimo(ora.copy(x + dx, y, 1, 1), prima.copy(x, y, 1, 1)) > 16;
                }
        QVERIFY2(confrontati > riposo.width() * riposo.height() / 2 && diversi < confrontati / 200,
                 qPrintable(QStringLiteral("%1 of %2").arg(diversi).arg(confrontati)));
        // The new one comes in from the side of the change: beside the old
        // one on that side, however far the slide has gone. The springs keep
        // to the real time: on a loaded machine the slide may be over by
        // the time the new module is built, and it then simply stands.
        QTRY_VERIFY(!area.transizioneInCorso());
        area.disconnect(this);
        if (!entrambi.isEmpty()) {
            QCOMPARE(entrambi.last().tab, a);
            QVERIFY(daDestra ? entrambi.last().dove.center().x() > entrambi.first().dove.center().x()
                             : entrambi.last().dove.center().x() < entrambi.first().dove.center().x());
        }
        b->root->completaAnimazioni();
        QVERIFY(!area.transizioneInCorso());
        QCOMPARE(area.modulo()->geometry(), area.areaModulo());
        const int i = BarraSchede::ordine().indexOf(a);
        QCOMPARE(area.rettangoloIndicatore().center().x(), QRectF(area.rettangoloTab(i)).center().x());
    }

    void quickChangesEndOnTheLastTabWithOneModuleAndTheSettingsOnNone()
    {
        auto b = banco();
        b->root->show();
        b->apri(NotchTab::tray);
        AreaSchede& area = b->root->pannelloAperto()->areaSchede();
        b->root->barra().selezionaTab(NotchTab::clipboard);
        QTRY_VERIFY(area.modulo()); // built, not yet sliding in
        b->root->barra().selezionaTab(NotchTab::memo);
        b->root->barra().selezionaTab(NotchTab::media);
        QTRY_VERIFY(!area.inPreparazione());
        auto moduli = [&] {
            b->root->completaAnimazioni();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return area.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        };
        QCOMPARE(moduli().size(), 1);
        QVERIFY(qobject_cast<MediaPlayerView*>(area.modulo()) && moduli().first() == area.modulo());
        QVERIFY(!area.transizioneInCorso() && !area.modulo()->graphicsEffect());
        // The settings come up before the next module is built.
        b->root->barra().selezionaTab(NotchTab::tray);
        b->root->setShowSettings(true);
        QVERIFY(moduli().isEmpty() && !area.modulo());
    }

    void theHoverCapsuleFadesInAndOut()
    {
        auto b = banco();
        b->root->show();
        b->apri(NotchTab::tray);
        AreaSchede& area = b->root->pannelloAperto()->areaSchede();
        QTest::mouseMove(&area, area.rettangoloTab(4).center());
        QCOMPARE(area.tabEvidenziata(), NotchTab::memo);
        QVERIFY(area.opacitaEvidenziata() < 1);
        b->root->completaAnimazioni();
        QCOMPARE(area.opacitaEvidenziata(), 1.0);
        QTest::mouseMove(&area, area.areaModulo().center() - QPoint(0, area.areaModulo().height() / 2 + 3));
        QVERIFY(!b->root->barra().hoveredTab());
        QVERIFY(area.opacitaEvidenziata() > 0); // it fades out, it does not vanish
        b->root->completaAnimazioni();
        QCOMPARE(area.opacitaEvidenziata(), 0.0);
        b->clock.advance(BarraSchede::kRitardoAperturaTab);
        QCOMPARE(b->stato.activeTab(), NotchTab::tray); // left before the opening delay
    }

    void theTurnShowsEachFaceInPerspective()
    {
        auto b = banco();
        b->apri(NotchTab::pomodoro);
        PannelloAperto& pannello = *b->root->pannelloAperto();
        const QPixmap faccia = pannello.areaSchede().grab();
        auto gira = [&](double angolo, const QString& nome) {
            QImage img(pannello.size(), QImage::Format_ARGB32);
            img.fill(QColor(40, 40, 44));
            QPainter p(&img);
            PannelloAperto::disegnaGirata(p, pannello.rect(), faccia, angolo);
            p.end();
            return salvaImmagine(img, nome);
        };
        // The columns and, at two edges, the rows that hold anything drawn.
        auto estensione = [](const QImage& img, int x) {
            QPair<int, int> righe{-1, -1};
            for (int y = 0; y < img.height(); ++y)
                if (img.pixel(x, y) != qRgb(40, 40, 44))
                    righe = {righe.first < 0 ? y : righe.first, y};
            return righe;
        };
        auto colonne = [](const QImage& img) {
            QPair<int, int> c{-1, -1};
            for (int x = 0; x < img.width(); ++x)
                for (int y = 0; y < img.height(); ++y)
                    if (img.pixel(x, y) != qRgb(40, 40, 44)) {
                        c = {c.first < 0 ? x : c.first, x};
                        break;
                    }
            return c;
        };
        const QImage dritta = gira(0, QStringLiteral("giro-0"));
        const QImage obliqua = gira(M_PI / 3, QStringLiteral("giro-60"));
        const QImage ritorno = gira(-M_PI / 4, QStringLiteral("giro-meno-45"));
        QImage fondo(pannello.size(), QImage::Format_ARGB32);
        fondo.fill(QColor(40, 40, 44));
        QCOMPARE(gira(M_PI / 2, QStringLiteral("giro-90")), fondo); // edge-on: nothing
        // Turned 60 degrees the face is about half as wide, centred.
        const auto cDritta = colonne(dritta), cObliqua = colonne(obliqua);
        const double larghezza = cDritta.second - cDritta.first, stretta = cObliqua.second - cObliqua.first;
        QVERIFY2(stretta > 0.35 * larghezza && stretta < 0.65 * larghezza, qPrintable(QString::number(stretta)));
        QVERIFY(std::abs((cObliqua.first + cObliqua.second) / 2 - pannello.width() / 2) < 40);
        // In perspective one side stands taller than the other, and turning
        // the other way swaps them.
        const auto sx = estensione(obliqua, cObliqua.first + 6), dx = estensione(obliqua, cObliqua.second - 6);
        const auto rsx = estensione(ritorno, colonne(ritorno).first + 6),
                   rdx = estensione(ritorno, colonne(ritorno).second - 6);
        QVERIFY((sx.second - sx.first) != (dx.second - dx.first));
        QCOMPARE((sx.second - sx.first) > (dx.second - dx.first), (rsx.second - rsx.first) < (rdx.second - rdx.first));
        // At the end of the turn the face is back the right way round.
        QCOMPARE(gira(M_PI - M_PI, QStringLiteral("giro-fine")), dritta);
    }

    void theSettingsPageIsBuiltAfreshEachTime()
    {
        auto b = banco();
        int costruite = 0;
        b->root->pannelloAperto()->setCostruttoreImpostazioni([&costruite] {
            ++costruite;
            return new QLabel(QStringLiteral("Impostazioni"));
        });
        b->apri(NotchTab::tray);
        b->root->setShowSettings(true);
        b->root->setShowSettings(false);
        b->root->setShowSettings(true);
        QCOMPARE(costruite, 2);
        QVERIFY(qobject_cast<QLabel*>(b->root->pannelloAperto()->paginaImpostazioni()));
        // From the page, the guide: the settings go, guide mode comes.
        b->root->rivediGuida();
        QVERIFY(!b->root->showSettings());
        QVERIFY(b->stato.modalitaGuida());
    }

    void guideModeShowsTheGuideAlone()
    {
        auto b = banco();
        PannelloAperto& pannello = *b->root->pannelloAperto();
        pannello.setCostruttoreGuida([] { return new QLabel(QStringLiteral("Guida")); });
        b->apri(NotchTab::tray);
        b->root->setShowSettings(true);
        b->stato.enterGuideMode();
        b->root->completaAnimazioni();
        QPointer<QWidget> guida = pannello.guida();
        QVERIFY(guida && guida->isVisibleTo(&pannello));
        QCOMPARE(pannello.size(), NotchStateManager::kDimensioneGuida.toSize());
        QCOMPARE(guida->geometry(), pannello.rect());
        QVERIFY(!pannello.areaSchede().isVisibleTo(&pannello));
        QVERIFY(!pannello.paginaImpostazioni()->isVisibleTo(&pannello)); // whatever showSettings holds
        QVERIFY(!pannello.rigaVisibile());
        b->stato.leaveGuideMode();
        QTRY_VERIFY(!guida);
        QVERIFY(pannello.rigaVisibile() == !b->root->showSettings());
    }

    void theGuideFadesInAndOutOverTheShownPanel()
    {
        auto b = banco();
        b->root->show();
        PannelloAperto& pannello = *b->root->pannelloAperto();
        pannello.setCostruttoreGuida([] { return new QLabel(QStringLiteral("Guida")); });
        b->stato.enterGuideMode();
        QPointer<QWidget> guida = pannello.guida();
        QVERIFY(guida && qobject_cast<QGraphicsOpacityEffect*>(guida->graphicsEffect()));
        QTRY_VERIFY(!guida->graphicsEffect()); // fully in
        b->stato.leaveGuideMode();
        QVERIFY(!pannello.guida());
        QVERIFY(guida && guida->testAttribute(Qt::WA_TransparentForMouseEvents)); // fading out, no clicks
        QVERIFY(pannello.areaSchede().isVisibleTo(&pannello));
        QTRY_VERIFY(!guida);
    }

    void theUsageRingStandsLeftOfTheGear()
    {
        auto b = banco();
        PannelloAperto& pannello = *b->root->pannelloAperto();
        b->apri(NotchTab::tray);
        const QRect gear = pannello.rettangoloGear();
        QCOMPARE(gear.right(), pannello.width() - 1 - PannelloAperto::kMargineRiga);
        QCOMPARE(gear.top(), PannelloAperto::kMargineRiga);
        QTRY_VERIFY(pannello.anelloPresente()); // the fixed Claude reading came in
        const QRect anello = pannello.rettangoloAnello();
        QCOMPARE(gear.left() - anello.right() - 1, PannelloAperto::kSpaziaturaRiga);
        QVERIFY(std::abs(anello.center().y() - gear.center().y()) <= 1);
        QVERIFY(qobject_cast<QAbstractButton*>(pannello.childAt(gear.center())));
        QVERIFY(!qobject_cast<QAbstractButton*>(pannello.childAt(anello.center()))); // the ring takes no clicks
        b->render(QStringLiteral("pannello-anello-uso"));
        // Switched off, the monitor forgets its readings: the gear stays alone, where it was.
        b->root->settingsManager().setMostraUsoIA(false);
        QVERIFY(!pannello.anelloPresente());
        QCOMPARE(pannello.rettangoloGear(), gear);
    }

    void theMediaPollFollowsTheNotch()
    {
        auto b = banco();
        MediaManager& m = *b->root->mediaManager();
        QCOMPARE(m.intervalloCorrente(), 6.0); // closed, nothing playing
        b->apri(NotchTab::media);
        QCOMPARE(m.intervalloCorrente(), 1.5);
        b->stato.setActiveTab(NotchTab::tray);
        QCOMPARE(m.intervalloCorrente(), 6.0);
        b->stato.setIsMediaActive(true);
        QCOMPARE(m.intervalloCorrente(), 3.0);
        b->stato.setState(NotchState::compact);
        QCOMPARE(m.intervalloCorrente(), 3.0);
    }

    void theMusicCardHangsUnderTheClosedNotch()
    {
        auto b = banco();
        b->stato.setHaTaccaFisica(false);
        b->stato.setIsMediaActive(true);
        auto* card = qobject_cast<CompactMediaCard*>(b->root->slot()->scheda());
        QVERIFY(card);
        QCOMPARE(card->rettangoloCard().size(), QSizeF(CompactMediaCard::kCard));
        b->renderChiusa(QStringLiteral("scheda-musica"));
        // The card is centred under the strip.
        const QRect r = b->root->slot()->geometry();
        QVERIFY(std::abs(r.center().x() - 400) <= 1);
        b->stato.setIsMediaActive(false);
        QVERIFY(!b->root->slot()->scheda());
    }

    void thePowerButtonPausesTheRunningPomodoroAndCloses()
    {
        auto b = banco();
        PomodoroManager& p = *b->root->pomodoroManager();
        p.startTimer();
        QVERIFY(p.isActive());
        b->apri(NotchTab::media);
        PannelloAperto& pannello = *b->root->pannelloAperto();
        QTest::mouseClick(&pannello.areaSchede(), Qt::LeftButton, {}, pannello.rettangoloPower().center());
        QVERIFY(!p.isActive());
        QCOMPARE(p.sessionState(), PomodoroSessionState::paused);
        QCOMPARE(b->stato.currentState(), NotchState::compact);
    }

    void theUsageCardFollowsTheSettingAndTheFrontProvider()
    {
        auto b = banco();
        b->stato.setHaTaccaFisica(false);
        UsoIAMonitor& monitor = *b->root->usoIA();
        b->frontale.attiva(AppInfo{idApplicazione(FornitoreIA::claude).first(), QStringLiteral("Claude"), 1});
        b->root->settingsManager().setMostraUsoIA(false);
        QVERIFY(!monitor.attivo());
        b->root->settingsManager().setMostraUsoIA(true);
        QVERIFY(monitor.attivo());
        QTRY_VERIFY(qobject_cast<UsoIACardView*>(b->root->slot()->scheda()));
        QVERIFY(b->stato.isSchedaVisibile());
        auto* card = qobject_cast<UsoIACardView*>(b->root->slot()->scheda());
        QCOMPARE(card->rettangoloScheda().size(), UsoIACardView::kScheda);
        b->renderChiusa(QStringLiteral("scheda-uso-ia"));
        // Switched off: the monitor stops and the card goes.
        b->root->settingsManager().setMostraUsoIA(false);
        QVERIFY(!monitor.attivo());
        QVERIFY(!b->root->slot()->scheda());
    }

    void leavingTheMirrorTabOrClosingStopsTheCamera_data()
    {
        QTest::addColumn<bool>("chiudendo");
        QTest::newRow("another tab") << false;
        QTest::newRow("closed notch") << true;
    }

    void leavingTheMirrorTabOrClosingStopsTheCamera()
    {
        QFETCH(bool, chiudendo);
        auto b = banco();
        CameraManager& camera = *b->root->cameraManager();
        b->apri(NotchTab::mirror);
        b->root->barra().setShowSettings(true);
        camera.avviaSessione();
        QTRY_VERIFY(camera.isSessionRunning());
        if (chiudendo)
            b->stato.setState(NotchState::compact);
        else
            b->stato.setActiveTab(NotchTab::pomodoro);
        QTRY_VERIFY(!camera.isSessionRunning());
        QCOMPARE(b->camera->fermate.load(), 1);
        // Closing also turns the settings page back to the tabs.
        QCOMPARE(b->root->barra().showSettings(), !chiudendo);
    }

    void aNewDownloadIsAnnouncedOnceUnderItsSetting_data()
    {
        QTest::addColumn<bool>("annuncia");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void aNewDownloadIsAnnouncedOnceUnderItsSetting()
    {
        QFETCH(bool, annuncia);
        auto b = banco();
        b->root->settingsManager().setAnnunciaFileScaricati(annuncia);
        DownloadMonitor& monitor = *b->root->downloadMonitor();
        QSignalSpy arrivi(&monitor, &DownloadMonitor::ultimoArrivoChanged);
        QFile file(QDir(b->scaricati).filePath(QStringLiteral("biglietto.pdf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QTRY_VERIFY(monitor.inAttesa());
        b->clock.advance(DownloadMonitor::kAttesa);
        QCOMPARE(arrivi.count(), 2); // published, then cleared for the next one
        QVERIFY(!monitor.ultimoArrivo());
        QCOMPARE(b->attivita.corrente().has_value(), annuncia);
        if (!annuncia)
            return;
        QCOMPARE(b->attivita.corrente()->titolo, QStringLiteral("File ricevuto"));
        QCOMPARE(b->attivita.corrente()->dettaglio, QStringLiteral("biglietto.pdf"));
        b->clock.advance(Reazioni::kDurataAvviso - 0.01);
        QVERIFY(b->attivita.corrente());
        b->clock.advance(0.01);
        QVERIFY(!b->attivita.corrente());
    }

    void aFreedLimitIsAnnouncedForEightSeconds()
    {
        auto b = banco();
        emit b->root->usoIA()->diNuovoDisponibile({FornitoreIA::codex, true});
        QVERIFY(b->attivita.corrente());
        QCOMPARE(b->attivita.corrente()->titolo, QStringLiteral("ChatGPT è tornato"));
        QCOMPARE(b->attivita.corrente()->dettaglio, QStringLiteral("Limite di 7 giorni azzerato"));
        b->clock.advance(Reazioni::kDurataLimite - 0.01);
        QVERIFY(b->attivita.corrente());
        b->clock.advance(0.01);
        QVERIFY(!b->attivita.corrente());
    }

    void aKeptScreenshotShowsItsPicture()
    {
        auto b = banco();
        QImage foto(1600, 800, QImage::Format_RGB32);
        foto.fill(QColor(40, 120, 200));
        const QString percorso = dir.filePath(QStringLiteral("cattura.png"));
        QVERIFY(foto.save(percorso));
        b->root->annunciaScreenshot(QUrl::fromLocalFile(percorso));
        QTRY_VERIFY(b->attivita.corrente()); // read off the GUI thread
        const AttivitaNotch a = *b->attivita.corrente();
        QCOMPARE(a.titolo, QStringLiteral("Screenshot catturato"));
        QVERIFY(a.anteprima);
        QCOMPARE(a.anteprima->size(), QSize(60, 30));
        QCOMPARE(a.anteprima->pixelColor(30, 15), QColor(40, 120, 200));
        b->stato.setHaTaccaFisica(false);
        b->renderChiusa(QStringLiteral("avviso-screenshot"));
        // A file that cannot be read still gives its notice, without a picture.
        b->clock.advance(Reazioni::kDurataAvviso);
        b->root->annunciaScreenshot(QUrl::fromLocalFile(dir.filePath(QStringLiteral("assente.png"))));
        QTRY_VERIFY(b->attivita.corrente());
        QVERIFY(!b->attivita.corrente()->anteprima);
        // A conversion's notice keeps the tray's title.
        b->clock.advance(Reazioni::kDurataAvviso);
        b->root->annunciaConversione(QStringLiteral("Immagini unite in PDF"),
                                     QUrl::fromLocalFile(dir.filePath(QStringLiteral("unite.pdf"))));
        QCOMPARE(b->attivita.corrente()->titolo, QStringLiteral("Immagini unite in PDF"));
        b->renderChiusa(QStringLiteral("avviso-conversione"));
    }

    void aScreenshotKeepsThePanelHiddenUntilItEnds()
    {
        auto b = banco();
        auto* vassoio = qobject_cast<SmartTrayView*>(b->apri(NotchTab::tray));
        QVERIFY(vassoio);
        vassoio->cattura(ScreenshotMode::fullScreen);
        QCOMPARE(b->stato.currentState(), NotchState::compact);
        QVERIFY(b->stato.catturaInCorso());
        // A second one is refused and does not bring the panel back over the first.
        vassoio->cattura(ScreenshotMode::area);
        QCoreApplication::processEvents();
        QVERIFY(b->stato.catturaInCorso());
        b->clock.advance(0.5);
        QTRY_VERIFY(!b->stato.catturaInCorso());
        QCOMPARE(b->root->dropManager()->draggedFiles().size(), 1);
        QTRY_VERIFY(b->attivita.corrente());
        QCOMPARE(b->attivita.corrente()->titolo, QStringLiteral("Screenshot catturato"));
        QCOMPARE(b->attivita.corrente()->dettaglio, QStringLiteral("Aggiunto al vassoio"));
    }

    void aConversionChosenInTheTrayIsAnnouncedEvenAfterTheTabCloses()
    {
        auto b = banco();
        auto* vassoio = qobject_cast<SmartTrayView*>(b->apri(NotchTab::tray));
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::red);
        const QString foto = dir.filePath(QStringLiteral("foto.png"));
        QVERIFY(img.save(foto));
        b->root->dropManager()->addToTray(QUrl::fromLocalFile(foto));

        // While the menu is up the notch stays open with the pointer outside.
        QMenu* menu = vassoio->apriMenuConversione();
        QVERIFY(menu && b->stato.menuAperto());
        b->stato.aggiornaHover(false);
        b->clock.advance(1);
        QCOMPARE(b->stato.currentState(), NotchState::expanded);
        const QList<QAction*> voci = menu->actions();
        auto jpeg = std::find_if(voci.begin(), voci.end(), [](QAction* a) {
            return a->text() == QLatin1String("Converti 1 immagini in JPEG");
        });
        QVERIFY(jpeg != voci.end());
        (*jpeg)->trigger();
        menu->close();
        QVERIFY(!b->stato.menuAperto());
        b->clock.advance(NotchStateManager::kRitardoChiusura);
        QCOMPARE(b->stato.currentState(), NotchState::compact);

        QTRY_VERIFY(b->attivita.corrente());
        QCOMPARE(b->attivita.corrente()->titolo, QStringLiteral("Immagine convertita"));
        QCOMPARE(b->attivita.corrente()->dettaglio, QStringLiteral("foto.jpeg"));
        QCOMPARE(b->root->dropManager()->draggedFiles().size(), 2);

        // A result that comes after the tab went still has its notice.
        b->clock.advance(Reazioni::kDurataAvviso);
        vassoio = qobject_cast<SmartTrayView*>(b->apri(NotchTab::tray));
        vassoio->converti(vassoio->sezioniConversione()[1].voci[2]);
        QVERIFY(vassoio->apriMenuConversione());
        b->apri(NotchTab::media);
        QTRY_VERIFY(!b->stato.menuAperto()); // the menu went with the tab
        QTRY_VERIFY(b->attivita.corrente());
        QCOMPARE(b->attivita.corrente()->dettaglio, QStringLiteral("foto-ridotta.png"));
    }

    // An entry whose every file fails says so, naming the file.
    void aConversionThatGivesNothingSaysSo()
    {
        auto b = banco();
        auto* vassoio = qobject_cast<SmartTrayView*>(b->apri(NotchTab::tray));
        const QString rotta = dir.filePath(QStringLiteral("rotta.png"));
        QFile f(rotta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("non sono un'immagine");
        f.close();
        b->root->dropManager()->setDraggedFiles({QUrl::fromLocalFile(rotta)});
        vassoio->converti(vassoio->sezioniConversione()[1].voci[0]);
        QTRY_VERIFY(b->attivita.corrente());
        QCOMPARE(b->attivita.corrente()->titolo, QStringLiteral("Non convertito"));
        QCOMPARE(b->attivita.corrente()->dettaglio, QStringLiteral("rotta.png"));
        QCOMPARE(b->root->dropManager()->draggedFiles().size(), 1);
        b->stato.setHaTaccaFisica(false);
        b->stato.chiudiSubito();
        b->renderChiusa(QStringLiteral("avviso-conversione-mancata"));
    }

    // What the user typed stays until it is saved: a reminder the store
    // refused (a full disk) is still in the composer, with its message,
    // after a visit to another tab; the save that then succeeds takes it.
    void aRefusedReminderStaysInTheComposerAcrossTabs()
    {
        auto b = banco();
        b->root->show();
        auto* prima = qobject_cast<CalendarioView*>(b->apri(NotchTab::calendario));
        QVERIFY(prima);
        // The disk fills once the store has made its list.
        QTRY_VERIFY(QFileInfo::exists(b->memo + QStringLiteral("-calendario/Promemoria.ics")));
        b->discoPieno = true;
        QTest::keyClicks(prima->barra()->campo(), QStringLiteral("Pagare l'affitto"));
        QTest::keyClick(prima->barra()->campo(), Qt::Key_Return);
        const QString messaggio = QStringLiteral("Promemoria non salvato: Spazio su disco esaurito.");
        QTRY_COMPARE(prima->erroreCreazione()->testo(), messaggio);

        b->apri(NotchTab::tray);
        auto* dopo = qobject_cast<CalendarioView*>(b->apri(NotchTab::calendario));
        QVERIFY(dopo);
        QCOMPARE(dopo->barra()->campo()->text(), QStringLiteral("Pagare l'affitto"));
        QCOMPARE(dopo->erroreCreazione()->testo(), messaggio);
        b->render(QStringLiteral("promemoria-rifiutato"));

        b->discoPieno = false;
        QTest::keyClick(dopo->barra()->campo(), Qt::Key_Return);
        QTRY_VERIFY(dopo->barra()->campo()->text().isEmpty());
        QVERIFY(dopo->erroreCreazione()->testo().isEmpty());
    }

    // A save that fails is told where the user looks: at the top of the
    // open panel, on either face, and under the switch whose change was not
    // kept (not under those whose value the file already gives), until a
    // save succeeds.
    void aFailedSaveIsToldInTheOpenPanelAndOnItsRow()
    {
        // Settings whose folder is a file: every save fails.
        const QString bloccato = dir.filePath(QStringLiteral("bloccato"));
        QFile(bloccato).open(QIODevice::WriteOnly);
        Banco b(bloccato + QStringLiteral("/Halvora.ini"), dir.filePath(QStringLiteral("bloccato-doc")), true);
        b.root->show();
        b.apri(NotchTab::tray);
        QTRY_VERIFY(b.attivita.corrente().has_value());
        AvvisoAperto* avviso = b.root->pannelloAperto()->avviso();
        QVERIFY(!avviso->isHidden());
        QCOMPARE(avviso->attivita()->titolo, QStringLiteral("Impostazione non salvata"));
        QVERIFY(!avviso->geometry().intersects(b.root->pannelloAperto()->rettangoloGear()));
        b.render(QStringLiteral("avviso-pannello-aperto"));

        b.root->setShowSettings(true);
        b.root->completaAnimazioni();
        auto* riga = b.root->pannelloAperto()->paginaImpostazioni()->findChild<RigaInterruttore*>("taccaDiscreta");
        QVERIFY(riga);
        QVERIFY(riga->avviso().isEmpty()); // untouched, it reads the same at the next start
        riga->interruttore()->click();
        QTRY_VERIFY(riga->avviso().startsWith(QStringLiteral("Non salvata: ")));
        QVERIFY(!avviso->isHidden());
        b.render(QStringLiteral("avviso-impostazioni"));

        QFile::remove(bloccato);
        riga->interruttore()->click();
        QTRY_VERIFY(riga->avviso().isEmpty());
    }

    void withoutAFactoryThereAreNoManagersAndNoModules()
    {
        auto b = banco(false);
        QVERIFY(!b->root->mediaManager() && !b->root->dropManager() && !b->root->usoIA() && !b->root->downloadMonitor());
        for (NotchTab t : kTutteLeSchede)
            QVERIFY(!b->apri(t));
    }
};

QTEST_MAIN(TestRootModuli)
#include "tst_RootModuli.moc"
