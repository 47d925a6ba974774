#include "AggiornamentoManager.h"
#include "AvvioAlLogin.h"
#include "ClipboardManager.h"
#include "DesktopEntries.h"
#include "FakeClock.h"
#include "LettoreFeedFinto.h"
#include "FakeFrontApplication.h"
#include "FakePasteboard.h"
#include "FakeTastoGlobale.h"
#include "IstruzioniHook.h"
#include "LettoreFeed.h"
#include "LinguaManager.h"
#include "RigaInterruttore.h"
#include "ScorciatoiaTacca.h"
#include "SettingsManager.h"
#include "SettingsView.h"
#include "TestOutput.h"
#include "Traduzioni.h"
#include "TrascrittoreAudio.h"
#include "UserDefaults.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

namespace {

// A login item whose next change the test makes fail with a given text.
struct LoginFinto final : AvvioAlLogin {
    bool presente = false;
    std::optional<QString> prossimoErrore;
    bool registrato() const override { return presente; }
    std::optional<QString> registra() override { return cambia(true); }
    std::optional<QString> annullaRegistrazione() override { return cambia(false); }
    std::optional<QString> cambia(bool v)
    {
        if (auto e = std::exchange(prossimoErrore, std::nullopt))
            return e;
        presente = v;
        return std::nullopt;
    }
};

QByteArray feed(const QString& versione)
{
    return QStringLiteral("{\"versione\":\"%1\",\"download\":\"https://halvora.app/v\"}").arg(versione).toUtf8();
}

void scriviFile(const QString& percorso, const QByteArray& contenuto)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenuto);
}

struct OpzioniBanco {
    QString bundle = QStringLiteral("/opt/halvora");
    QString lingua;    // stored before the page starts
    bool completo = true; // with the hot key, clipboard and update managers
};

// Everything the page shows, on a temporary settings file.
struct Banco {
    QTemporaryDir dir;
    FakeClock clock;
    UserDefaults defaults;
    LoginFinto login;
    SettingsManager settings;
    std::function<void(bool)> avvioInSospeso;
    LinguaManager lingua;
    FakeTastoGlobale tasto;
    ScorciatoiaTacca scorciatoia;
    FakePasteboard pasteboard;
    FakeFrontApplication front;
    ClipboardManager clipboard;
    LettoreFeedFinto lettore;
    AggiornamentoManager aggiornamento;
    DesktopEntries applicazioni;
    std::unique_ptr<SettingsView> view;

    explicit Banco(const OpzioniBanco& o = {})
        : defaults(preparaDefaults(dir, o.lingua)), settings(defaults, login, posizione(o.bundle)),
          lingua(defaults, riavvio()), scorciatoia(tasto, defaults), clipboard(pasteboard, front, defaults, clock),
          aggiornamento(defaults, clock, lettore, nullptr, opzioniAggiornamento()),
          applicazioni(DesktopEntries::daCartelle({cartellaApp()}))
    {
        view = std::make_unique<SettingsView>(settings, lingua, o.completo ? &scorciatoia : nullptr,
                                              o.completo ? &clipboard : nullptr,
                                              o.completo ? &aggiornamento : nullptr, pasteboard, applicazioni, clock);
        view->resize(460, 390);
    }

    static QString preparaDefaults(QTemporaryDir& dir, const QString& lingua)
    {
        const QString file = dir.filePath(QStringLiteral("impostazioni.ini"));
        QDir().mkpath(dir.filePath(QStringLiteral("applications")));
        if (!lingua.isEmpty()) {
            UserDefaults d(file);
            d.setValue(LinguaManager::kChiaveLingua, lingua);
            d.sync();
        }
        return file;
    }
    QString cartellaApp() const { return dir.filePath(QStringLiteral("applications")); }
    static NotchGeometry::Posizione posizione(const QString& bundle)
    {
        NotchGeometry::Posizione p;
        p.bundle = bundle;
        p.eseguibile = bundle + QStringLiteral("/halvora");
        return p;
    }
    LinguaManager::Riavvio riavvio()
    {
        LinguaManager::Riavvio r;
        // The new instance's start is answered by the test.
        r.avviaIstanza = [this](std::function<void(bool)> esito) { avvioInSospeso = std::move(esito); };
        r.esci = [] {};
        return r;
    }
    static AggiornamentoManager::Opzioni opzioniAggiornamento()
    {
        AggiornamentoManager::Opzioni o;
        o.versioneInUso = QStringLiteral("2.0");
        o.apriURL = [](const QUrl&) {};
        return o;
    }

    template <class T = QWidget>
    T* trova(const QString& nome) const
    {
        return view->pagina()->findChild<T*>(nome);
    }
    bool visibile(const QString& nome) const
    {
        QWidget* w = trova(nome);
        return w && w->isVisibleTo(view->pagina());
    }
    QAbstractButton* pulsante(const QString& nome) const { return trova<QAbstractButton>(nome); }
    RigaInterruttore* riga(const QString& proprieta) const { return trova<RigaInterruttore>(proprieta); }
    QString testo(const QString& nome) const { return trova<QLabel>(nome)->text(); }
    QWidgetList righeApp() const
    {
        return trova(QStringLiteral("elencoApp"))->findChildren<QWidget*>(QStringLiteral("rigaApp"),
                                                                           Qt::FindDirectChildrenOnly);
    }
    QStringList idRighe() const
    {
        QStringList ids;
        for (QWidget* r : righeApp())
            ids << r->property("idApp").toString();
        return ids;
    }
};

} // namespace

class TestSettingsView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Traduzioni::installa(QStringLiteral("it")); }

    void switchesAreBoundBothWaysToTheModel_data()
    {
        QTest::addColumn<QString>("proprieta");
        for (const char* p : {"mostraSchedaMedia", "annunciaFileScaricati", "mostraSchedaTimer", "trascrizioneSoloSulMac",
                              "mostraProssimoImpegno", "mostraUsoIA", "scorciatoiaTaccaAttiva", "taccaDiscreta"})
            QTest::newRow(p) << QString::fromLatin1(p);
    }
    void switchesAreBoundBothWaysToTheModel()
    {
        QFETCH(QString, proprieta);
        Banco b;
        const QByteArray nome = proprieta.toLatin1();
        RigaInterruttore* r = b.riga(proprieta);
        QVERIFY(r);
        const bool prima = b.settings.property(nome).toBool();
        QCOMPARE(r->attivo(), prima);
        QVERIFY(!r->disattivato());
        // A flip goes to the model, and from it to the settings file.
        QTest::mouseClick(r->interruttore(), Qt::LeftButton);
        QCOMPARE(b.settings.property(nome).toBool(), !prima);
        QCOMPARE(b.defaults.boolValue(proprieta), std::optional<bool>(!prima));
        QCOMPARE(r->attivo(), !prima);
        // A change made elsewhere shows on the switch.
        b.settings.setProperty(nome, prima);
        QCOMPARE(r->attivo(), prima);
    }

    void loginSwitchFromATemporaryCopy_data()
    {
        QTest::addColumn<QString>("bundle");
        QTest::newRow("translocated") << "/private/var/folders/x/AppTranslocation/ABC/d/Halvora.app";
        QTest::newRow("mounted volume") << "/Volumes/Halvora/Halvora.app";
    }
    void loginSwitchFromATemporaryCopy()
    {
        QFETCH(QString, bundle);
        OpzioniBanco o;
        o.bundle = bundle;
        Banco b(o);
        RigaInterruttore* r = b.riga(QStringLiteral("launchAtLogin"));
        QVERIFY(r->disattivato());
        QVERIFY(b.visibile(QStringLiteral("notaAvvioAlLogin")));
        QVERIFY(!b.visibile(QStringLiteral("erroreAvvioAlLogin")));
        QTest::mouseClick(r->interruttore(), Qt::LeftButton);
        QVERIFY(!b.settings.launchAtLogin());
        QVERIFY(!b.login.presente);
    }

    void loginErrorShowsVerbatimUntilTheNextSuccess()
    {
        Banco b;
        Traduzioni::installa(QStringLiteral("en"));
        RigaInterruttore* r = b.riga(QStringLiteral("launchAtLogin"));
        QVERIFY(!r->disattivato());
        QVERIFY(!b.visibile(QStringLiteral("notaAvvioAlLogin")));
        QVERIFY(!b.visibile(QStringLiteral("erroreAvvioAlLogin")));
        // An Italian key of the tables, which the page must not look up.
        b.login.prossimoErrore = QStringLiteral("Copiato");
        QTest::mouseClick(r->interruttore(), Qt::LeftButton);
        Traduzioni::installa(QStringLiteral("it"));
        QVERIFY(b.visibile(QStringLiteral("erroreAvvioAlLogin")));
        QCOMPARE(b.testo(QStringLiteral("erroreAvvioAlLogin")), QStringLiteral("Copiato"));
        QVERIFY(!r->attivo()); // the model put the switch back
        QTest::mouseClick(r->interruttore(), Qt::LeftButton);
        QVERIFY(b.login.presente);
        QVERIFY(r->attivo());
        QVERIFY(!b.visibile(QStringLiteral("erroreAvvioAlLogin")));
    }

    void hotKeyWarningOnlyWhileOnAndRefused_data()
    {
        QTest::addColumn<bool>("attiva");
        QTest::addColumn<bool>("presaDaAltri");
        QTest::addColumn<bool>("avviso");
        QTest::newRow("on, refused") << true << true << true;
        QTest::newRow("on, free") << true << false << false;
        QTest::newRow("off, refused") << false << true << false;
    }
    // The combination the desktop has set is the one the page names.
    void hotKeyTextsNameTheCombinationSet()
    {
        Banco b;
        auto* riga = b.riga(QStringLiteral("scorciatoiaTaccaAttiva"));
        QVERIFY(riga->titolo().endsWith(QStringLiteral("Ctrl+Alt+N")));
        b.tasto.cambiaCombinazione(QStringLiteral("Meta+H"));
        QVERIFY2(riga->titolo().endsWith(QStringLiteral("Meta+H")), qPrintable(riga->titolo()));
        QVERIFY(riga->spiegazione().startsWith(QStringLiteral("Meta+H")));
        QVERIFY(b.testo(QStringLiteral("avvisoScorciatoia")).contains(QStringLiteral("Meta+H")));
    }

    void hotKeyWarningOnlyWhileOnAndRefused()
    {
        QFETCH(bool, attiva);
        QFETCH(bool, presaDaAltri);
        QFETCH(bool, avviso);
        Banco b;
        b.tasto.occupatoDaAltri = presaDaAltri;
        b.scorciatoia.registra();
        b.settings.setScorciatoiaTaccaAttiva(attiva);
        QCOMPARE(b.visibile(QStringLiteral("avvisoScorciatoia")), avviso);
        if (!avviso)
            return;
        // Switching the preference off from the page hides it at once.
        QTest::mouseClick(b.riga(QStringLiteral("scorciatoiaTaccaAttiva"))->interruttore(), Qt::LeftButton);
        QVERIFY(!b.settings.scorciatoiaTaccaAttiva());
        QVERIFY(!b.visibile(QStringLiteral("avvisoScorciatoia")));
    }

    void languageNoteFollowsTheChoice_data()
    {
        QTest::addColumn<QString>("salvata");
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("nota");
        const QString sistema = QCoreApplication::translate("RigaLingua", "Segue la lingua del Mac: ")
                                + LinguaManager::nomeLinguaDelSistema() + QLatin1Char('.');
        const QString riapre = QStringLiteral("Cambiando lingua l'app si riapre da sola.");
        QTest::newRow("system") << "" << 0 << sistema;
        QTest::newRow("italiano") << "it" << 1 << riapre;
        QTest::newRow("english") << "en" << 2 << riapre;
        QTest::newRow("español") << "es" << 3 << riapre;
    }
    void languageNoteFollowsTheChoice()
    {
        QFETCH(QString, salvata);
        QFETCH(int, indice);
        QFETCH(QString, nota);
        OpzioniBanco o;
        o.lingua = salvata;
        Banco b(o);
        auto* scelta = b.trova<QComboBox>(QStringLiteral("sceltaLingua"));
        QCOMPARE(scelta->currentIndex(), indice);
        QCOMPARE(b.testo(QStringLiteral("notaLingua")), nota);
        QVERIFY(scelta->isEnabled());
    }

    void choosingALanguageRelaunchesWithThePickerDisabled()
    {
        Banco b;
        auto* scelta = b.trova<QComboBox>(QStringLiteral("sceltaLingua"));
        QCOMPARE(scelta->itemText(0), QStringLiteral("Lingua del sistema"));
        QCOMPARE(scelta->itemText(2), QStringLiteral("English"));
        emit scelta->activated(2);
        QCOMPARE(b.lingua.scelta(), LinguaInterfaccia::inglese);
        QVERIFY(b.lingua.riavvioInCorso());
        QCOMPARE(b.testo(QStringLiteral("notaLingua")), QStringLiteral("Riapertura in corso…"));
        QVERIFY(!scelta->isEnabled());
        // A start that failed keeps this instance, on the new choice.
        b.avvioInSospeso(false);
        QVERIFY(scelta->isEnabled());
        QCOMPARE(scelta->currentIndex(), 2);
        QCOMPARE(b.testo(QStringLiteral("notaLingua")), QStringLiteral("Cambiando lingua l'app si riapre da sola."));
    }

    void busyUpdateButtonIgnoresClicks()
    {
        Banco b;
        QAbstractButton* cerca = b.pulsante(QStringLiteral("cercaAggiornamenti"));
        QCOMPARE(b.testo(QStringLiteral("versione")), QStringLiteral("Versione %1").arg(AggiornamentoManager::versioneCorrente()));
        QVERIFY(!b.visibile(QStringLiteral("esitoVerifica")));
        QTest::mouseClick(cerca, Qt::LeftButton);
        QCOMPARE(b.lettore.richieste, 1);
        QVERIFY(!cerca->isEnabled());
        QTest::mouseClick(cerca, Qt::LeftButton);
        QCOMPARE(b.lettore.richieste, 1);
        b.lettore.rispondi(feed(QStringLiteral("1.0")));
        QVERIFY(cerca->isEnabled());
        QVERIFY(b.visibile(QStringLiteral("esitoVerifica")));
        QCOMPARE(b.testo(QStringLiteral("esitoVerifica")), QStringLiteral("Sei già aggiornato."));
        QVERIFY(!b.visibile(QStringLiteral("versioneDisponibile")));
    }

    void resultAndAvailableVersionShowTogetherInOrder()
    {
        Banco b;
        b.aggiornamento.controllaAggiornamenti(true);
        b.lettore.rispondi("<html/>");
        // A later automatic check leaves the manual result in place.
        b.aggiornamento.controllaAggiornamenti(false);
        b.lettore.rispondi(feed(QStringLiteral("2.1")));
        b.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.view.get()));
        QVERIFY(b.visibile(QStringLiteral("esitoVerifica")));
        QVERIFY(b.visibile(QStringLiteral("versioneDisponibile")));
        QCOMPARE(b.testo(QStringLiteral("esitoVerifica")), QStringLiteral("Impossibile controllare ora."));
        QCOMPARE(b.testo(QStringLiteral("versioneDisponibile")), QStringLiteral("Disponibile la 2.1."));
        QVERIFY(b.trova(QStringLiteral("esitoVerifica"))->y() < b.trova(QStringLiteral("versioneDisponibile"))->y());
    }

    void copiedConfirmationTiming_data()
    {
        QTest::addColumn<bool>("stessoPulsante");
        QTest::addColumn<double>("scompareDopo"); // seconds after the first press
        QTest::newRow("other button within 2 s") << false << 3.0;
        QTest::newRow("same button twice") << true << 2.0;
    }
    void copiedConfirmationTiming()
    {
        QFETCH(bool, stessoPulsante);
        QFETCH(double, scompareDopo);
        Banco b;
        QAbstractButton* claude = b.pulsante(QStringLiteral("copiaClaude"));
        QAbstractButton* codex = b.pulsante(QStringLiteral("copiaCodex"));
        QCOMPARE(claude->text(), QStringLiteral("Copia per Claude Code"));
        QCOMPARE(codex->text(), QStringLiteral("Copia per ChatGPT"));
        b.pasteboard.copia(QStringLiteral("di prima"));
        QTest::mouseClick(claude, Qt::LeftButton);
        QCOMPARE(b.pasteboard.testo, IstruzioniHook::promptInstallazioneHook(FornitoreIA::claude));
        QCOMPARE(claude->text(), QStringLiteral("Copiato"));
        b.clock.advance(1.0);
        QAbstractButton* secondo = stessoPulsante ? claude : codex;
        const FornitoreIA fornitore = stessoPulsante ? FornitoreIA::claude : FornitoreIA::codex;
        QTest::mouseClick(secondo, Qt::LeftButton);
        QCOMPARE(b.pasteboard.scritture.size(), 2);
        QCOMPARE(b.pasteboard.testo, IstruzioniHook::promptInstallazioneHook(fornitore));
        QCOMPARE(b.view->messaggioCopiato(), std::optional(fornitore));
        QCOMPARE(secondo->text(), QStringLiteral("Copiato"));
        if (!stessoPulsante)
            QCOMPARE(claude->text(), QStringLiteral("Copia per Claude Code"));
        b.clock.advance(scompareDopo - 1.0 - 0.01);
        QCOMPARE(secondo->text(), QStringLiteral("Copiato"));
        b.clock.advance(0.01);
        QCOMPARE(b.view->messaggioCopiato(), std::nullopt);
        QCOMPARE(claude->text(), QStringLiteral("Copia per Claude Code"));
        QCOMPARE(codex->text(), QStringLiteral("Copia per ChatGPT"));
    }

    // Only the user's own exclusions are listed, once each: the password
    // managers excluded always are named by the explanation, not listed.
    void privacyRowsAreTheUsersOwn()
    {
        Banco b;
        QVERIFY(b.idRighe().isEmpty());
        const QString icona = b.cartellaApp() + "/cassaforte.png";
        QImage quadrato(16, 16, QImage::Format_ARGB32);
        quadrato.fill(Qt::red);
        QVERIFY(quadrato.save(icona));
        scriviFile(b.cartellaApp() + "/org.example.Cassaforte.desktop",
                   "[Desktop Entry]\nType=Application\nName=Cassaforte\nExec=cassaforte\nIcon=" + icona.toUtf8() + "\n");
        b.applicazioni = DesktopEntries::daCartelle({b.cartellaApp()});
        b.clipboard.aggiungiAppEsclusa(QStringLiteral("org.example.Cassaforte"));
        b.clipboard.aggiungiAppEsclusa(QStringLiteral("org.example.Disinstallata"));
        QCOMPARE(b.idRighe(), QStringList({"org.example.Cassaforte", "org.example.Disinstallata"}));
        const QWidgetList righe = b.righeApp();
        // Known applications by their name and icon, others by their id.
        QCOMPARE(righe[0]->findChildren<QWidget*>().at(1)->accessibleName(), QStringLiteral("Cassaforte"));
        QVERIFY(righe[0]->findChild<QLabel*>(QStringLiteral("iconaApp")));
        QCOMPARE(righe[1]->findChildren<QWidget*>().at(1)->accessibleName(), QStringLiteral("org.example.Disinstallata"));
        QVERIFY(!righe[1]->findChild<QLabel*>(QStringLiteral("iconaApp")));
        QTest::mouseClick(righe[0]->findChild<QAbstractButton*>(), Qt::LeftButton);
        QCOMPARE(b.clipboard.appEscluseUtente(), QStringList({"org.example.Disinstallata"}));
        QCOMPARE(b.idRighe(), QStringList({"org.example.Disinstallata"}));
    }

    void addingAnApplication_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QStringList>("utente");
        const QByteArray app = "[Desktop Entry]\nType=Application\nName=App\nExec=app\n";
        QTest::newRow("an application") << "org.example.Note.desktop" << app << QStringList({"org.example.Note"});
        QTest::newRow("in a subfolder") << "kde/org.example.Note.desktop" << app << QStringList({"kde-org.example.Note"});
        QTest::newRow("built in") << "com.apple.keychainaccess.desktop" << app << QStringList();
        QTest::newRow("not an application") << "collegamento.desktop"
                                            << QByteArray("[Desktop Entry]\nType=Link\nURL=https://a\n") << QStringList();
        QTest::newRow("hidden") << "nascosta.desktop" << QByteArray(app + "Hidden=true\n") << QStringList();
        QTest::newRow("not a desktop file") << "note.txt" << app << QStringList();
        QTest::newRow("cancelled") << "" << QByteArray() << QStringList();
    }
    void addingAnApplication()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, contenuto);
        QFETCH(QStringList, utente);
        Banco b;
        const QString percorso = b.cartellaApp() + QLatin1Char('/') + file;
        if (!file.isEmpty()) {
            QDir().mkpath(QFileInfo(percorso).path());
            scriviFile(percorso, contenuto);
        }
        b.view->setSceltaFile([&](QWidget*) -> std::optional<QString> {
            return file.isEmpty() ? std::nullopt : std::optional(percorso);
        });
        // The same choice twice lists it once.
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(b.pulsante(QStringLiteral("aggiungiApp")), Qt::LeftButton);
            // The file is read on a worker; its answer comes back as a posted call.
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
        }
        QCOMPARE(b.clipboard.appEscluseUtente(), utente);
        QCOMPARE(b.idRighe(), utente);
    }

    void recogniserLanguage_data()
    {
        QTest::addColumn<QStringList>("preferite");
        QTest::addColumn<QStringList>("supportate");
        QTest::addColumn<QString>("scelta");
        QTest::addColumn<QString>("nome");
        const QStringList modelli = {"de-DE", "en-GB", "en-US", "it-IT"};
        const QString nessuna = QStringLiteral("non disponibile");
        QTest::newRow("exact") << QStringList({"en-US", "it"}) << modelli << "en-US" << "inglese";
        QTest::newRow("exact, other spelling") << QStringList({"en_gb"}) << modelli << "en-GB" << "inglese";
        QTest::newRow("by language code") << QStringList({"it", "en-US"}) << modelli << "it-IT" << "italiano";
        QTest::newRow("first preference wins") << QStringList({"fr-FR", "de-AT", "en-US"}) << modelli << "de-DE"
                                               << "Deutsch";
        // "C" has no language, though Qt would write it as English.
        QTest::newRow("no language code skipped") << QStringList({"C", "de-DE"}) << QStringList({"en-US", "de-DE"})
                                                  << "de-DE" << "Deutsch";
        QTest::newRow("English as last resort") << QStringList({"ja-JP"}) << QStringList({"de-DE", "en-US"}) << "en-US"
                                                << "inglese";
        QTest::newRow("nothing usable") << QStringList({"ja-JP"}) << QStringList({"de-DE"}) << "" << nessuna;
        QTest::newRow("no models") << QStringList({"en-US"}) << QStringList() << "" << nessuna;
    }
    void recogniserLanguage()
    {
        QFETCH(QStringList, preferite);
        QFETCH(QStringList, supportate);
        QFETCH(QString, scelta);
        QFETCH(QString, nome);
        QCOMPARE(TrascrittoreAudio::localeRiconoscimento(preferite, supportate).value_or(QString()), scelta);
        QCOMPARE(TrascrittoreAudio::nomeLinguaRiconoscimento(preferite, supportate), nome);
    }

    void recogniserModelsAreTheModelFolders()
    {
        QTemporaryDir dir;
        for (const char* c : {"en-us", "it-it"})
            QVERIFY(QDir(dir.path()).mkdir(c));
        scriviFile(dir.filePath("LEGGIMI"), "not a model");
        QCOMPARE(TrascrittoreAudio::lingueSupportate(dir.path()), QStringList({"en-US", "it-IT"}));
        QCOMPARE(TrascrittoreAudio::lingueSupportate(dir.filePath("assente")), QStringList());
    }

    void rowsOfMissingManagersAreLeftOut()
    {
        OpzioniBanco o;
        o.completo = false;
        Banco b(o);
        QVERIFY(!b.trova(QStringLiteral("cercaAggiornamenti")));
        QVERIFY(!b.trova(QStringLiteral("elencoApp")));
        QVERIFY(!b.visibile(QStringLiteral("avvisoScorciatoia")));
        QVERIFY(b.riga(QStringLiteral("trascrizioneSoloSulMac")));
        QVERIFY(b.visibile(QStringLiteral("linguaRiconoscimento")));
    }

    void closingAndGuideButtonsAreSignals()
    {
        Banco b;
        QSignalSpy chiudi(b.view.get(), &SettingsView::chiudi);
        QSignalSpy guida(b.view.get(), &SettingsView::rivediGuida);
        QTest::mouseClick(b.pulsante(QStringLiteral("tornaIndietro")), Qt::LeftButton);
        QCOMPARE(chiudi.count(), 1);
        QCOMPARE(guida.count(), 0);
        QTest::mouseClick(b.pulsante(QStringLiteral("rivediGuida")), Qt::LeftButton);
        QCOMPARE(guida.count(), 1);
        QCOMPARE(chiudi.count(), 1);
    }

    void renders_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::newRow("it") << "it";
        QTest::newRow("en") << "en";
        QTest::newRow("es") << "es";
    }
    void renders()
    {
        QFETCH(QString, lingua);
        Traduzioni::installa(lingua);
        QWidget fondo; // before the page, which it holds while rendering
        Banco b;
        b.tasto.occupatoDaAltri = true;
        b.scorciatoia.registra();
        b.clipboard.aggiungiAppEsclusa(QStringLiteral("org.example.UnaAppDalNomeMoltoLungoCheNonCiStaInUnaRiga"));
        b.aggiornamento.controllaAggiornamenti(true);
        b.lettore.rispondi(feed(QStringLiteral("2.1")));
        b.view->copiaIstruzioni(FornitoreIA::codex);
        // On the black of the notch, as the open panel shows it.
        fondo.setAutoFillBackground(true);
        fondo.setPalette(QPalette(Qt::black));
        b.view->setParent(&fondo);
        const int larghezza = 460;
        fondo.resize(larghezza, 390);
        b.view->resize(fondo.size());
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        const QImage pannello = salvaRender(fondo, QStringLiteral("settings-pannello-") + lingua);
        QCOMPARE(pannello.size(), QSize(larghezza, 390) * pannello.devicePixelRatio());
        // The whole column, unscrolled.
        // Slack for the rounding of wrapped lines, so no scroll bar takes width.
        const int altezza = b.view->pagina()->heightForWidth(larghezza) + 20;
        fondo.resize(larghezza, altezza);
        b.view->resize(fondo.size());
        QCoreApplication::processEvents();
        const QImage tutto = salvaRender(fondo, QStringLiteral("settings-pagina-") + lingua);
        // The foot's red quit button is the last thing on the page, inside it.
        QWidget* esci = b.trova(QStringLiteral("esci"));
        QVERIFY(esci->mapTo(b.view->pagina(), QPoint(0, esci->height())).y() <= altezza);
        QVERIFY(tutto.height() >= altezza);
        Traduzioni::installa(QStringLiteral("it"));
    }

    // Last: it ends the event loop the test starts for it.
    void quitButtonEndsTheApplication()
    {
        Banco b;
        b.view->show();
        QTimer::singleShot(0, b.pulsante(QStringLiteral("esci")), [&] {
            QTest::mouseClick(b.pulsante(QStringLiteral("esci")), Qt::LeftButton);
        });
        // Fails rather than hangs when the button does nothing.
        QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_SettingsView.moc"
