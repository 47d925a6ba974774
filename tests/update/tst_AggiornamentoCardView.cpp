#include "AggiornamentoCardView.h"
#include "FakeClock.h"
#include "TestOutput.h"

#include <QAbstractButton>
#include <QPainter>
#include <QTest>

using Campi = AggiornamentoCardView::Campi;
Q_DECLARE_METATYPE(Campi)

class TestAggiornamentoCardView : public QObject {
    Q_OBJECT
    FakeClock clock;

private slots:
    void eachStateShowsItsTextsAndActions_data()
    {
        QTest::addColumn<Campi>("campi");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("sottotitolo");
        QTest::addColumn<QString>("pulsante"); // empty: the spinner
        QTest::addColumn<QString>("chiamata");
        const QString disponibile = "Versione 2.1 disponibile", installata = "Versione 2.1 installata";
        const QString errore = "Il download non è riuscito.";
        QTest::newRow("offer") << Campi{"2.1", {}, {}, false, true} << disponibile << "AGGIORNAMENTO GRATUITO"
                               << "Aggiorna" << "aggiorna";
        QTest::newRow("web page only") << Campi{"2.1", {}, {}, false, false} << disponibile << "AGGIORNAMENTO GRATUITO"
                                       << "Scarica" << "scarica";
        QTest::newRow("installing") << Campi{"2.1", QString::fromUtf8("Scarico…"), {}, false, true} << disponibile
                                    << QString::fromUtf8("Scarico…") << "" << "";
        QTest::newRow("failed") << Campi{"2.1", {}, errore, false, true} << "Aggiornamento non riuscito" << errore
                                << "Scarica" << "scarica";
        QTest::newRow("installed") << Campi{"2.1", QString::fromUtf8("Installo…"), {}, true, true} << installata
                                   << "RIAPRI PER USARLA" << "Apri" << "apri";
        QTest::newRow("reopening failed") << Campi{"2.1", {}, QString("Non si è aperta: avviala da Applicazioni."), true, true}
                                          << installata << "Non si è aperta: avviala da Applicazioni." << "Apri" << "apri";
        QTest::newRow("step and error") << Campi{"2.1", QString::fromUtf8("Verifico…"), errore, false, true}
                                        << "Aggiornamento non riuscito" << errore << "" << "";
        QTest::newRow("empty error") << Campi{"2.1", {}, QString(""), false, true} << "Aggiornamento non riuscito" << ""
                                     << "Scarica" << "scarica";
        QTest::newRow("long texts") << Campi{"2.1.0-anteprima-molto-lunga-per-davvero", {},
                                             QString("Impossibile stabilire una connessione sicura con il server.").repeated(2),
                                             false, true}
                                    << "Aggiornamento non riuscito"
                                    << QString("Impossibile stabilire una connessione sicura con il server.").repeated(2)
                                    << "Scarica" << "scarica";
    }
    void eachStateShowsItsTextsAndActions()
    {
        QFETCH(Campi, campi);
        QFETCH(QString, titolo);
        QFETCH(QString, sottotitolo);
        QFETCH(QString, pulsante);
        QFETCH(QString, chiamata);
        QStringList chiamate;
        auto annota = [&](const char* n) { return [&chiamate, n] { chiamate << n; }; };
        AggiornamentoCardView v(campi, {annota("aggiorna"), annota("scarica"), annota("rimanda"), annota("apri")}, clock);
        QCOMPARE(v.titolo(), titolo);
        QCOMPARE(v.sottotitolo(), sottotitolo);
        QCOMPARE(v.accento(), campi.installata ? QColor(52, 199, 89) : QColor(0, 122, 255));
        QCOMPARE(v.rettangoloScheda().size(), QSizeF(372, 46));
        QCOMPARE(v.pulsante() ? v.pulsante()->text() : QString(), pulsante);
        QCOMPARE(v.attesa() != nullptr, pulsante.isEmpty());
        // The close disc only beside "Aggiorna" or "Scarica".
        QCOMPARE(v.chiudi() != nullptr, pulsante == "Aggiorna" || pulsante == "Scarica");
        if (v.pulsante()) {
            QVERIFY(v.pulsante()->width() >= 44);
            QVERIFY(v.rettangoloScheda().contains(QRectF(v.pulsante()->geometry())));
            QTest::mouseClick(v.pulsante(), Qt::LeftButton);
        }
        if (v.chiudi()) {
            QVERIFY(v.chiudi()->geometry().right() < v.pulsante()->geometry().left());
            QTest::mouseClick(v.chiudi(), Qt::LeftButton);
        }
        QStringList attese;
        if (!chiamata.isEmpty())
            attese << chiamata;
        if (v.chiudi())
            attese << "rimanda";
        QCOMPARE(chiamate, attese);

        // On the dark notch, for a reviewer; the card's own colour fills its middle.
        QImage immagine(v.size(), QImage::Format_ARGB32_Premultiplied);
        immagine.fill(Qt::black);
        v.render(&immagine);
        immagine.save(QDir(cartellaOutputTest()).filePath(QStringLiteral("aggiornamento-%1.png").arg(QTest::currentDataTag())));
        const QColor centro = immagine.pixelColor(v.rettangoloScheda().center().toPoint() + QPoint(30, 12));
        QVERIFY(campi.installata ? centro.green() > centro.blue() : centro.blue() > centro.green());
    }
};

QTEST_MAIN(TestAggiornamentoCardView)
#include "tst_AggiornamentoCardView.moc"
