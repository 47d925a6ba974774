#include "Colori.h"
#include "FakeClock.h"
#include "TestOutput.h"
#include "Traduzioni.h"
#include "UsoIACardView.h"

#include <QPainter>
#include <QTest>

namespace {

const QDateTime kT0 = QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);

// Whether some pixel of the area is close to the colour.
bool contieneColore(const QImage& img, const QRect& area, const QColor& colore, int tolleranza = 40)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.alpha() > 200 && qAbs(c.red() - colore.red()) < tolleranza
                && qAbs(c.green() - colore.green()) < tolleranza && qAbs(c.blue() - colore.blue()) < tolleranza)
                return true;
        }
    return false;
}

} // namespace

class TestUsoIACardView : public QObject {
    Q_OBJECT

    FakeClock clock{kT0};

private slots:
    void initTestCase() { Traduzioni::installa("it"); }

    void cardInEachBand_data()
    {
        QTest::addColumn<int>("percento");
        QTest::addColumn<bool>("critico");
        QTest::addColumn<bool>("settimanale");
        QTest::addColumn<int>("fornitore");
        QTest::addColumn<QColor>("numero");
        QTest::newRow("claude-normal") << 42 << false << false << 0 << QColor(Qt::white);
        QTest::newRow("codex-normal") << 12 << false << false << 1 << QColor(Qt::white);
        QTest::newRow("claude-orange") << 81 << false << true << 0 << Colori::arancione();
        QTest::newRow("codex-orange") << 75 << false << true << 1 << Colori::arancione();
        QTest::newRow("claude-red") << 100 << false << false << 0 << Colori::rosso();
        QTest::newRow("codex-red-critical") << 20 << true << true << 1 << Colori::rosso();
    }
    void cardInEachBand()
    {
        QFETCH(int, percento);
        QFETCH(bool, critico);
        QFETCH(bool, settimanale);
        QFETCH(int, fornitore);
        QFETCH(QColor, numero);
        const LimiteIA l{percento, kT0.addSecs(2 * 3600 + 310), critico};
        // On a dark desktop, as under the notch.
        QWidget sfondo;
        sfondo.setStyleSheet("background: #3a4150");
        UsoIACardView card(l, settimanale, static_cast<FornitoreIA>(fornitore), clock, &sfondo);
        sfondo.setFixedSize(card.size());
        QCOMPARE(card.rettangoloScheda().size(), QSize(240, 46));
        QCOMPARE(card.rigaAzzeramento(), QString("si azzera fra 2 h 5 min"));
        QCOMPARE(card.titolo(), QString(fornitore == 0 ? "Claude" : "ChatGPT")
                                    + (settimanale ? " · settimana" : " · sessione"));
        const QImage img = salvaRender(sfondo, QString("uso-ia-scheda-") + QTest::currentDataTag());
        const QRect s = card.rettangoloScheda();
        // The percentage on the right, in the band's colour.
        QVERIFY(contieneColore(img, QRect(s.right() - 45, s.top() + 12, 40, 22), numero));
        // The ring's arc starts at 12 o'clock.
        const QColor arco = ColoriUsoIA::arco(fasciaUso(l));
        const QRect cimaAnello(s.left() + 12 + 14 - 1, s.center().y() - 14, 5, 3);
        if (fasciaUso(l) != FasciaUso::normale)
            QVERIFY(contieneColore(img, cimaAnello, arco));
    }

    void resetLineTicksEveryMinute()
    {
        const LimiteIA l{50, kT0.addSecs(150), false};
        UsoIACardView card(l, false, FornitoreIA::claude, clock);
        QCOMPARE(card.rigaAzzeramento(), QString("si azzera fra 3 min"));
        clock.advance(59);
        QCOMPARE(card.rigaAzzeramento(), QString("si azzera fra 3 min"));
        clock.advance(1);
        QCOMPARE(card.rigaAzzeramento(), QString("si azzera fra 2 min"));
        clock.advance(120);
        QCOMPARE(card.rigaAzzeramento(), QString()); // passed: no line
        UsoIACardView senza(LimiteIA{50, std::nullopt, false}, false, FornitoreIA::codex, clock);
        QCOMPARE(senza.rigaAzzeramento(), QString());
        salvaRender(senza, "uso-ia-scheda-senza-azzeramento");
    }

    void ringFractions_data()
    {
        QTest::addColumn<int>("percento");
        QTest::addColumn<bool>("pieno"); // the arc reaches 9 o'clock on the left
        QTest::newRow("0") << 0 << false;
        QTest::newRow("50") << 50 << false;
        QTest::newRow("80") << 80 << true;
        QTest::newRow("100") << 100 << true;
    }
    void ringFractions()
    {
        QFETCH(int, percento);
        QFETCH(bool, pieno);
        QImage img(60, 60, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::black);
        QPainter p(&img);
        // Critical, so the arc is red against the faint white track.
        AnelloUsoIA::disegna(p, QRectF(2, 2, 56, 56), LimiteIA{percento, std::nullopt, true}, 6);
        p.end();
        img.save(QDir(cartellaOutputTest()).filePath(QString("uso-ia-anello-%1.png").arg(percento)));
        const QColor rosso = Colori::rosso();
        // Clockwise from the top: 3 o'clock is covered from 25 %, 9 o'clock from 75 %.
        QCOMPARE(contieneColore(img, QRect(53, 28, 4, 4), rosso), percento >= 25);
        QCOMPARE(contieneColore(img, QRect(3, 28, 4, 4), rosso), pieno);
    }

    void symbols()
    {
        QWidget riga;
        riga.setFixedSize(120, 40);
        riga.setStyleSheet("background: #202024");
        SimboloFornitore claude(FornitoreIA::claude, 28, &riga);
        SimboloFornitore codex(FornitoreIA::codex, 28, &riga);
        AnelloUsoIA anello(LimiteIA{60, std::nullopt, false}, 28, 3, &riga);
        claude.move(6, 6);
        codex.move(46, 6);
        anello.move(86, 6);
        const QImage img = salvaRender(riga, "uso-ia-simboli");
        QVERIFY(contieneColore(img, QRect(6, 6, 28, 28), coloreClaude(), 20));
        // No desktop application for Codex here: a light speech bubble.
        QVERIFY(contieneColore(img, QRect(46, 6, 28, 28), QColor(200, 200, 200), 60));
    }
};

QTEST_MAIN(TestUsoIACardView)
#include "tst_UsoIACardView.moc"
