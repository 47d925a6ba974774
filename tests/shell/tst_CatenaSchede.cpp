#include "CatenaSchede.h"
#include "FakeClock.h"
#include "RotazioneSchede.h"

#include <QSignalSpy>
#include <QTest>

using namespace CatenaSchede;

Q_DECLARE_METATYPE(CatenaSchede::Scheda)

class TestCatenaSchede : public QObject {
    Q_OBJECT

    static Ingressi con(std::function<void(Ingressi&)> f)
    {
        Ingressi in;
        f(in);
        return in;
    }

private slots:
    void chain_data()
    {
        QTest::addColumn<Ingressi>("in");
        QTest::addColumn<Scheda>("attesa");
        using P = SchedaPersistente;
        QTest::newRow("nothing") << Ingressi{} << Scheda::nessuna;
        QTest::newRow("open shows no card") << con([](auto& i) {
            i.chiusa = false;
            i.attivitaCorrente = true;
        }) << Scheda::nessuna;
        QTest::newRow("due reminder beats video and offer") << con([](auto& i) {
            i.promemoriaDaAvvisare = true;
            i.video = StatoVideo::inRiproduzione;
            i.propostaVideo = true;
        }) << Scheda::promemoria;
        QTest::newRow("due reminder shows in full screen") << con([](auto& i) {
            i.promemoriaDaAvvisare = true;
            i.schermoIntero = true;
        }) << Scheda::promemoria;
        QTest::newRow("ringing alarm in full screen while recording") << con([](auto& i) {
            i.allarmeAttivo = true;
            i.schermoIntero = true;
            i.persistente = P::registrazione;
        }) << Scheda::timer;
        QTest::newRow("ringing alarm silences the due reminder") << con([](auto& i) {
            i.allarmeAttivo = true;
            i.promemoriaDaAvvisare = true;
        }) << Scheda::timer;
        QTest::newRow("video in full screen") << con([](auto& i) {
            i.video = StatoVideo::caricamento;
            i.schermoIntero = true;
        }) << Scheda::video;
        QTest::newRow("full screen hides offer, install, update, notice, music") << con([](auto& i) {
            i.schermoIntero = true;
            i.propostaVideo = i.installazioneDaSistemare = i.aggiornamentoDisponibile = i.attivitaCorrente = true;
            i.persistente = P::musica;
        }) << Scheda::nessuna;
        QTest::newRow("offer before installation") << con([](auto& i) {
            i.propostaVideo = i.installazioneDaSistemare = true;
        }) << Scheda::propostaVideo;
        QTest::newRow("installation before update") << con([](auto& i) {
            i.installazioneDaSistemare = i.aggiornamentoDisponibile = true;
        }) << Scheda::installazione;
        QTest::newRow("update before notice") << con([](auto& i) {
            i.aggiornamentoDisponibile = i.attivitaCorrente = true;
        }) << Scheda::aggiornamento;
        QTest::newRow("notice before persistent") << con([](auto& i) {
            i.attivitaCorrente = true;
            i.persistente = P::timer;
        }) << Scheda::attivita;
        QTest::newRow("appointment needs its event") << con([](auto& i) { i.persistente = P::impegno; })
                                                     << Scheda::nessuna;
        QTest::newRow("usage with its state") << con([](auto& i) {
            i.persistente = P::usoIA;
            i.usoIAPresente = true;
        }) << Scheda::usoIA;
        QTest::newRow("music") << con([](auto& i) { i.persistente = P::musica; }) << Scheda::musica;
    }
    void chain()
    {
        QFETCH(Ingressi, in);
        QFETCH(Scheda, attesa);
        QCOMPARE(scegli(in), attesa);
    }

    void rotationWrapsAndResets()
    {
        QList<SchedaPersistente> lista = idonee(true, false, true, false, true);
        QCOMPARE(lista, (QList<SchedaPersistente>{SchedaPersistente::registrazione, SchedaPersistente::impegno,
                                                  SchedaPersistente::musica}));
        FakeClock clock;
        RotazioneSchede r(clock, [&] { return lista.size(); });
        QSignalSpy spy(&r, &RotazioneSchede::indiceChanged);
        r.avvia();
        clock.advance(4.5);
        clock.advance(4.5);
        QCOMPARE(r.indice(), 2);
        QCOMPARE(correntePersistente(lista, r.indice()), SchedaPersistente::musica);
        clock.advance(4.49);
        QCOMPARE(r.indice(), 2);
        clock.advance(0.01);
        QCOMPARE(r.indice(), 0); // three eligible and the counter at 2: back to the first
        QCOMPARE(spy.last().first().toBool(), true);

        clock.advance(4.5);
        QCOMPARE(r.indice(), 1);
        lista = {SchedaPersistente::timer}; // shrinks to one
        QCOMPARE(correntePersistente(lista, r.indice()), SchedaPersistente::timer); // modulo, before the tick
        clock.advance(4.5);
        QCOMPARE(r.indice(), 0);
        QCOMPARE(spy.last().first().toBool(), false); // reset without animation
        const auto segnali = spy.count();
        clock.advance(9);
        QCOMPARE(spy.count(), segnali); // one card stays put
        QCOMPARE(correntePersistente({}, 3), std::nullopt);
        QCOMPARE(correntePersistente(lista, -1), SchedaPersistente::timer);
    }

    void flags_data()
    {
        QTest::addColumn<Ingressi>("in");
        QTest::addColumn<bool>("persistente");
        QTest::addColumn<bool>("registrando");
        QTest::addColumn<bool>("visibile");
        QTest::addColumn<bool>("clic");
        QTest::newRow("nothing") << Ingressi{} << false << false << false << false;
        QTest::newRow("music shows without clicks") << Ingressi{} << true << false << true << false;
        QTest::newRow("offer alone") << con([](auto& i) { i.propostaVideo = true; }) << false << false << true
                                     << true;
        QTest::newRow("recording takes clicks") << Ingressi{} << true << true << true << true;
        QTest::newRow("full screen, video closed, recording and offer")
            << con([](auto& i) {
                   i.schermoIntero = true;
                   i.propostaVideo = true;
               })
            << true << true << false << false;
        QTest::newRow("full screen, alarm") << con([](auto& i) {
            i.schermoIntero = true;
            i.allarmeAttivo = true;
        }) << false << false << true << true;
        QTest::newRow("full screen, due reminder") << con([](auto& i) {
            i.schermoIntero = true;
            i.promemoriaDaAvvisare = true;
        }) << false << false << true << true;
        QTest::newRow("full screen, paused video") << con([](auto& i) {
            i.schermoIntero = true;
            i.video = StatoVideo::inPausa;
        }) << false << false << true << true;
        QTest::newRow("waiting for permission") << con([](auto& i) { i.video = StatoVideo::attesaPermesso; })
                                                << false << false << true << true;
    }
    void flags()
    {
        QFETCH(Ingressi, in);
        QFETCH(bool, persistente);
        QFETCH(bool, registrando);
        QFETCH(bool, visibile);
        QFETCH(bool, clic);
        QCOMPARE(visibilitaScheda(in, persistente), visibile);
        QCOMPARE(richiestaClick(in, registrando), clic);
    }

    void hoverFade()
    {
        QVERIFY(sbiadisceAlPassaggio(Scheda::attivita, false));
        QVERIFY(sbiadisceAlPassaggio(Scheda::timer, false));
        QVERIFY(!sbiadisceAlPassaggio(Scheda::timer, true));
        QVERIFY(!sbiadisceAlPassaggio(Scheda::promemoria, false));
        QVERIFY(!sbiadisceAlPassaggio(Scheda::registrazione, false));
        QVERIFY(contenutoChiusoVisibile(true, true, true));
        QVERIFY(!contenutoChiusoVisibile(true, true, false));
        QVERIFY(!contenutoChiusoVisibile(false, false, true));
    }
};

QTEST_MAIN(TestCatenaSchede)
#include "tst_CatenaSchede.moc"
