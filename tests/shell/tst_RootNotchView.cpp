#include "AttivitaCardView.h"
#include "AttivitaManager.h"
#include "FakeClock.h"
#include "NotchAccessRouter.h"
#include "NotchStateManager.h"
#include "RootNotchView.h"
#include "SlotScheda.h"
#include "TestOutput.h"
#include "UserDefaults.h"
#include "VistaAreaScheda.h"
#include "X11Desktop.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

// Renders of the notch in each state, over a mid-grey desktop so the
// translucent fill shows; a reviewer looks at them in the test output.
class TestRootNotchView : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    struct Banco {
        FakeClock clock;
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni;
        X11Desktop desktop; // no display here: never full screen
        NotchAccessRouter router;
        Banco(const QString& ini)
            : impostazioni(ini),
              router(stato, attivita, QSize(800, 600),
                     {clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {}})
        {
            router.root()->setGeometry(0, 0, 800, 600);
        }
        RootNotchView& root() { return *router.root(); }
        QImage render(const QString& nome)
        {
            root().completaAnimazioni();
            QImage img(800, 300, QImage::Format_ARGB32);
            img.fill(QColor(128, 128, 128));
            QPainter p(&img);
            p.drawImage(0, 0, router.grab(QRect(0, 0, 800, 300)).toImage());
            p.end();
            img.save(QDir(cartellaOutputTest()).filePath(nome + QStringLiteral(".png")));
            return img;
        }
    };

    QString ini()
    {
        static int n = 0;
        return dir.filePath(QStringLiteral("r%1.ini").arg(++n));
    }

private slots:
    void closedStripOnAnUnnotchedScreen()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(false);
        const QImage img = b.render(QStringLiteral("tacca-chiusa-senza-tacca"));
        QVERIFY(qGray(img.pixel(400, 10)) < 70); // translucent dark strip, 310..490
        QVERIFY(qGray(img.pixel(400, 25)) > qGray(img.pixel(380, 25))); // the faint marker
        QCOMPARE(qGray(img.pixel(250, 10)), 128);
        QVERIFY(qGray(img.pixel(400, 60)) > 100); // no card
    }

    void blackStripOverANotch()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(true);
        b.stato.setDimensioneCompatta({308, 30.5});
        const QImage img = b.render(QStringLiteral("tacca-chiusa-nera"));
        QCOMPARE(QColor(img.pixel(400, 10)), QColor(Qt::black));
        QCOMPARE(QColor(img.pixel(400, 25)), QColor(Qt::black)); // no marker over a notch
        QCOMPARE(qGray(img.pixel(400, 40)), 128);                  // no shadow either
    }

    void discreetEdgeTab()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(false);
        b.stato.setLinguettaAttiva(true);
        const QImage img = b.render(QStringLiteral("tacca-linguetta"));
        QVERIFY(qGray(img.pixel(400, 2)) < 90);
        QVERIFY(qGray(img.pixel(400, 12)) > 100);
    }

    void noticeCardHangsUnderTheStripWithItsMarker()
    {
        Banco b(ini());
        b.stato.setHaTaccaFisica(false);
        AttivitaNotch a;
        a.simbolo = QStringLiteral("bell.fill");
        a.titolo = QStringLiteral("Ciao");
        a.dettaglio = QStringLiteral("Dettaglio");
        b.attivita.mostra(a, 3);
        QVERIFY(b.stato.isSchedaVisibile());
        QVERIFY(!b.stato.schedaRichiedeClick()); // a notice shows without taking clicks
        auto* card = qobject_cast<AttivitaCardView*>(b.root().slot()->scheda());
        QVERIFY(card);
        const QRectF carta(card->mapTo(&b.root(), card->rettangoloScheda().topLeft().toPoint()), QSizeF(180, 46));
        QCOMPARE(carta, QRectF(310, 40, 180, 46));
        auto* m = b.root().slot()->marcatore();
        QCOMPARE(QRectF(m->mapTo(&b.root(), QPoint(0, 0)), m->size()), QRectF(310, 32, 180, 54));
        QCOMPARE(m->distaccoSuperiore(), 8.0);
        const QImage img = b.render(QStringLiteral("tacca-avviso"));
        QVERIFY(qGray(img.pixel(400, 63)) < 80);

        b.stato.setState(NotchState::expanded); // an open notch shows no card
        QVERIFY(!b.root().slot()->scheda());
        b.render(QStringLiteral("tacca-aperta"));
        b.stato.setState(NotchState::compact);
        b.clock.advance(3);
        QVERIFY(!b.root().slot()->scheda());
        QVERIFY(!b.stato.isSchedaVisibile());
    }

    void tintedNoticeWithoutDetail()
    {
        AttivitaNotch a;
        a.simbolo = QStringLiteral("battery.50");
        a.titolo = QStringLiteral("Alimentazione a batteria");
        a.tinta = QColor(255, 149, 0);
        AttivitaCardView v(a);
        salvaRender(v, QStringLiteral("avviso-tinto"));
        QCOMPARE(v.size(), QSize(180 + 52, 46 + 52));
    }
};

QTEST_MAIN(TestRootNotchView)
#include "tst_RootNotchView.moc"
