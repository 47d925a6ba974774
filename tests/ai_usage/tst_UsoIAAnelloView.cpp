#include "Colori.h"
#include "FakeClock.h"
#include "TestOutput.h"
#include "Traduzioni.h"
#include "UsoIAAnelloView.h"
#include "UsoIACardView.h"

#include <QMouseEvent>
#include <QTest>

namespace {

const QDateTime kT0 = QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);
const QColor kSecondario(140, 140, 140); // white at 0.55 on black

std::optional<LimiteIA> finestra(int percento, bool critico = false, qint64 fraSecondi = 2 * 3600 + 310)
{
    if (percento < 0)
        return std::nullopt;
    return LimiteIA{percento, kT0.addSecs(fraSecondi), critico};
}

LetturaUsoIA lettura(int sessione, int settimana, FornitoreIA f = FornitoreIA::claude)
{
    return LetturaUsoIA{f, finestra(sessione), finestra(settimana, false, 3 * 86400), kT0.addSecs(-25 * 60)};
}

// Whether some opaque pixel of the area is close to the colour.
bool contieneColore(const QImage& img, const QRect& area, const QColor& colore, int tolleranza = 40)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (qAbs(c.red() - colore.red()) < tolleranza && qAbs(c.green() - colore.green()) < tolleranza
                && qAbs(c.blue() - colore.blue()) < tolleranza)
                return true;
        }
    return false;
}

int luceMassima(const QImage& img, const QRect& area)
{
    int massimo = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            massimo = std::max(massimo, qGray(img.pixel(x, y)));
    return massimo;
}

void muovi(QWidget& w, QPointF dove)
{
    QMouseEvent e(QEvent::MouseMove, dove, w.mapToGlobal(dove), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

void esci(QWidget& w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(&w, &e);
}

// The open panel's black, with the pill at its top-right as the shell sets it.
struct Pannello {
    QWidget sfondo;
    UsoIAAnelloView* pillola;
    Pannello(const LetturaUsoIA& l, bool attuale, Clock& clock)
    {
        sfondo.setStyleSheet("background: black");
        sfondo.setFixedSize(260, 170);
        pillola = new UsoIAAnelloView(l, attuale, clock, &sfondo);
        pillola->move(250 - pillola->width(), 10);
        sfondo.show();
    }
};

} // namespace

class TestUsoIAAnelloView : public QObject {
    Q_OBJECT

    FakeClock clock{kT0};

private slots:
    void initTestCase()
    {
        Traduzioni::installa("it");
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }

    void mainWindowAndBand_data()
    {
        QTest::addColumn<int>("sessione");
        QTest::addColumn<int>("settimana");
        QTest::addColumn<bool>("critico");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QColor>("colore");
        QTest::newRow("week 80 over session 50") << 50 << 80 << false << "80%" << Colori::arancione();
        QTest::newRow("session 90 over week 80") << 90 << 80 << false << "90%" << Colori::arancione();
        QTest::newRow("week below 75") << 10 << 70 << false << "10%" << kSecondario;
        QTest::newRow("week only") << -1 << 40 << false << "40%" << kSecondario;
        QTest::newRow("session only") << 96 << -1 << false << "96%" << Colori::rosso();
        QTest::newRow("critical at 20") << 20 << -1 << true << "20%" << Colori::rosso();
        QTest::newRow("neither") << -1 << -1 << false << "" << QColor();
    }
    void mainWindowAndBand()
    {
        QFETCH(int, sessione);
        QFETCH(int, settimana);
        QFETCH(bool, critico);
        QFETCH(QString, testo);
        QFETCH(QColor, colore);
        LetturaUsoIA l = lettura(sessione, settimana);
        if (l.sessione)
            l.sessione->critico = critico;
        Pannello p(l, true, clock);
        QCOMPARE(p.pillola->testoPercentuale(), testo);
        if (testo.isEmpty()) {
            // Nothing drawn, nothing to hover.
            QCOMPARE(p.pillola->size(), QSize(0, 0));
            muovi(*p.pillola, QPointF(0, 0));
            QVERIFY(!p.pillola->sopra());
            QVERIFY(!p.pillola->scheda());
            return;
        }
        QCOMPARE(p.pillola->height(), 22);
        const QImage img = salvaRender(p.sfondo, QString("uso-ia-pillola-") + QTest::currentDataTag());
        const QRect g = p.pillola->geometry();
        const QRect zonaTesto(g.left() + 25, g.top() + 4, g.width() - 32, g.height() - 8);
        QVERIFY(contieneColore(img, zonaTesto, colore, 30));
        if (colore != kSecondario) // the arc starts at 12 o'clock in the band's colour
            QVERIFY(contieneColore(img, QRect(g.left() + 3 + 8, g.top() + 2, 4, 3), colore, 60));
        else // the normal band never reaches full white
            QVERIFY(luceMassima(img, zonaTesto) < 200);
    }

    void cardFollowsHoverOverCapsule()
    {
        Pannello p(lettura(30, 60), true, clock);
        UsoIAAnelloView& v = *p.pillola;
        QVERIFY(!v.sopra());
        QVERIFY(!v.scheda());
        // The rounded corner is outside the capsule.
        muovi(v, QPointF(0.5, 0.5));
        QVERIFY(!v.sopra());
        muovi(v, QPointF(v.width() / 2.0, v.height() / 2.0));
        QVERIFY(v.sopra());
        QVERIFY(v.scheda());
        clock.advance(1.0);
        const QRect s = v.rettangoloScheda();
        QCOMPARE(s.width(), 210);
        QCOMPARE(s.top(), v.y() + 28);
        QCOMPARE(s.x() + s.width(), v.x() + v.width());
        salvaRender(p.sfondo, "uso-ia-pillola-sopra");
        // Leaving: the card fades out and is gone once the spring settles.
        esci(v);
        QVERIFY(!v.sopra());
        clock.advance(0.05);
        QVERIFY(v.scheda());
        clock.advance(1.0);
        QVERIFY(!v.scheda());
        // Entering onto the pill, then the panel hides: no card left behind.
        const QPointF centro(v.width() / 2.0, v.height() / 2.0);
        QEnterEvent entra(centro, centro, v.mapToGlobal(centro));
        QCoreApplication::sendEvent(&v, &entra);
        QVERIFY(v.scheda());
        p.sfondo.hide();
        QVERIFY(!v.scheda());
        QVERIFY(!v.sopra());
    }

    void cardFollowsPillInsideMovedRow()
    {
        QWidget pannello;
        auto* riga = new QWidget(&pannello);
        riga->setGeometry(100, 10, 120, 30);
        auto* v = new UsoIAAnelloView(lettura(30, 60), true, clock, riga, &pannello);
        v->move(10, 4);
        pannello.resize(300, 200);
        pannello.show();
        muovi(*v, QPointF(v->width() / 2.0, v->height() / 2.0));
        clock.advance(1.0);
        QVERIFY(v->scheda() && v->scheda()->parentWidget() == &pannello);
        riga->move(60, 20);
        const QRect s = v->rettangoloScheda();
        QCOMPARE(s.top(), 20 + 4 + 28);
        QCOMPARE(s.x() + s.width(), 60 + 10 + v->width());
    }

    void newStateKeepsHoverAndDropsEmptyReading()
    {
        Pannello p(lettura(30, 60), true, clock);
        UsoIAAnelloView& v = *p.pillola;
        muovi(v, QPointF(v.width() / 2.0, v.height() / 2.0));
        clock.advance(1.0);
        const int alta = v.rettangoloScheda().height();
        v.imposta(lettura(-1, 60), false);
        QVERIFY(v.sopra());
        QVERIFY(v.rettangoloScheda().height() < alta); // one row fewer
        v.imposta(lettura(-1, -1), false);
        QVERIFY(!v.sopra());
        clock.advance(1.0);
        QVERIFY(!v.scheda());
        QCOMPARE(v.size(), QSize(0, 0));
    }

    void oldReadingIsDimmed()
    {
        Pannello attuale(lettura(50, -1), true, clock);
        Pannello vecchia(lettura(50, -1), false, clock);
        const QRect g = attuale.pillola->geometry();
        const QRect zona(g.left() + 25, g.top() + 4, g.width() - 32, g.height() - 8);
        const int luce = luceMassima(attuale.sfondo.grab().toImage(), zona);
        const int luceVecchia = luceMassima(vecchia.sfondo.grab().toImage(), zona);
        QVERIFY2(luceVecchia < luce * 0.7, qPrintable(QString("%1 vs %2").arg(luceVecchia).arg(luce)));
    }

    void cardContent_data()
    {
        QTest::addColumn<int>("sessione");
        QTest::addColumn<int>("settimana");
        QTest::addColumn<bool>("attuale");
        QTest::addColumn<QStringList>("titoli");
        QTest::addColumn<QString>("eta");
        QTest::newRow("both, current") << 30 << 60 << true << QStringList{"Sessione", "Settimana"} << "";
        QTest::newRow("both, old") << 30 << 60 << false << QStringList{"Sessione", "Settimana"}
                                   << "Aggiornato 25 min fa";
        QTest::newRow("week only") << -1 << 60 << true << QStringList{"Settimana"} << "";
        QTest::newRow("session only, old") << 30 << -1 << false << QStringList{"Sessione"} << "Aggiornato 25 min fa";
    }
    void cardContent()
    {
        QFETCH(int, sessione);
        QFETCH(int, settimana);
        QFETCH(bool, attuale);
        QFETCH(QStringList, titoli);
        QFETCH(QString, eta);
        const auto c = contenutoSchedaUsoIA(lettura(sessione, settimana), attuale, kT0);
        QCOMPARE(c.nome, QString("Claude"));
        QCOMPARE(c.eta.value_or(QString()), eta);
        QStringList visti;
        for (const auto& r : c.righe)
            visti << r.titolo;
        QCOMPARE(visti, titoli);
        for (const auto& r : c.righe)
            QCOMPARE(r.azzeramento.value_or(QString()),
                     QString(r.titolo == "Sessione" ? "si azzera fra 2 h 5 min" : "si azzera gio 09:00"));
    }

    void rowWithoutFutureResetHasNoText()
    {
        LetturaUsoIA l = lettura(96, -1, FornitoreIA::codex);
        l.sessione->siAzzera = kT0.addSecs(-10);
        const auto c = contenutoSchedaUsoIA(l, true, kT0);
        QCOMPARE(c.nome, QString("ChatGPT"));
        QCOMPARE(c.righe.size(), size_t(1));
        QVERIFY(!c.righe[0].azzeramento);
        QCOMPARE(c.righe[0].fascia, FasciaUso::alta);
        l.sessione->siAzzera.reset();
        QVERIFY(!contenutoSchedaUsoIA(l, true, kT0).righe[0].azzeramento);
    }

    void relativeAge_data()
    {
        QTest::addColumn<int>("secondi");
        QTest::addColumn<QString>("testo");
        QTest::newRow("ahead of now") << -300 << "adesso";
        QTest::newRow("seconds") << 59 << "adesso";
        QTest::newRow("minutes") << 25 * 60 + 59 << "25 min fa";
        QTest::newRow("hours") << 11 * 3600 + 3599 << "11 h fa";
        QTest::newRow("yesterday") << 86400 + 5 << "ieri";
        QTest::newRow("days") << 3 * 86400 << "3 g fa";
    }
    void relativeAge()
    {
        QFETCH(int, secondi);
        QFETCH(QString, testo);
        QCOMPARE(tempoRelativo(kT0.addSecs(-secondi), kT0), testo);
    }

    void englishAndSpanish()
    {
        const auto l = lettura(30, 60);
        Traduzioni::installa("en");
        auto c = contenutoSchedaUsoIA(l, false, kT0);
        QCOMPARE(*c.eta, QString("Updated 25 min ago"));
        QCOMPARE(c.righe[1].titolo, QString("Week"));
        Traduzioni::installa("es");
        c = contenutoSchedaUsoIA(l, false, kT0);
        QCOMPARE(*c.eta, QString("Actualizado hace 25 min"));
        QCOMPARE(c.righe[0].titolo, QString("Sesión"));
        Traduzioni::installa("it");
    }

    // Pictures for a reviewer: each provider, current and old, with the card.
    void renders_data()
    {
        QTest::addColumn<int>("fornitore");
        QTest::addColumn<bool>("attuale");
        QTest::newRow("claude-current") << 0 << true;
        QTest::newRow("claude-old") << 0 << false;
        QTest::newRow("codex-current") << 1 << true;
        QTest::newRow("codex-old") << 1 << false;
    }
    void renders()
    {
        QFETCH(int, fornitore);
        QFETCH(bool, attuale);
        LetturaUsoIA l = lettura(97, 80, static_cast<FornitoreIA>(fornitore));
        l.scrittaIl = kT0.addSecs(-3 * 3600);
        Pannello p(l, attuale, clock);
        const QImage pillola = salvaRender(p.sfondo, QString("uso-ia-anello-") + QTest::currentDataTag());
        muovi(*p.pillola, QPointF(p.pillola->width() / 2.0, p.pillola->height() / 2.0));
        clock.advance(1.0);
        const QImage conScheda = salvaRender(p.sfondo, QString("uso-ia-anello-scheda-") + QTest::currentDataTag());
        // The card is not dimmed with an old reading: its name is full white.
        const QRect s = p.pillola->rettangoloScheda();
        QVERIFY(luceMassima(conScheda, QRect(s.left() + 29, s.top() + 12, 40, 14)) > 230);
        QVERIFY(pillola != conScheda);
    }
};

QTEST_MAIN(TestUsoIAAnelloView)
#include "tst_UsoIAAnelloView.moc"
