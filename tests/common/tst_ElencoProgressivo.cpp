#include "ElencoProgressivo.h"

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

// A long list in a scroll area, rows built on asking.
class TestElencoProgressivo : public QObject {
    Q_OBJECT

    struct Lista {
        QScrollArea area;
        QWidget* contenuto = new QWidget;
        QVBoxLayout* colonna = new QVBoxLayout(contenuto);
        QList<QWidget*> costruite;
        QList<int> ordine; // which item each position shows
        ElencoProgressivo elenco{area, *colonna, [this](int i) { return riga(ordine[i]); }};

        explicit Lista(int n)
        {
            for (int i = 0; i < n; ++i)
                ordine << i;
            colonna->setSpacing(4);
            colonna->addStretch(1);
            area.setWidget(contenuto);
            area.setWidgetResizable(true);
            area.resize(300, 400);
        }
        QWidget* riga(int voce)
        {
            while (costruite.size() <= voce)
                costruite << nullptr;
            if (!costruite[voce]) {
                costruite[voce] = new QWidget;
                costruite[voce]->setFixedHeight(50);
                costruite[voce]->setObjectName(QString::number(voce));
            }
            return costruite[voce];
        }
        int fatte() const { return int(costruite.size() - costruite.count(nullptr)); }
    };

private slots:
    void rowsInViewComeFirstAndTheRestAsTheListScrolls()
    {
        Lista l(500);
        l.elenco.imposta(500);
        l.area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&l.area));
        // Two screens of 54-pixel rows, not five hundred.
        QVERIFY2(l.fatte() <= 20, qPrintable(QString::number(l.fatte())));
        QCOMPARE(l.elenco.posate(), l.fatte());
        // The list scrolls as far as all its rows reach.
        QTRY_VERIFY(l.area.verticalScrollBar()->maximum() >= 500 * 54 - 400 - 54);
        QScrollBar* barra = l.area.verticalScrollBar();
        while (barra->value() < barra->maximum()) {
            barra->setValue(barra->value() + 300);
            QCoreApplication::processEvents();
        }
        QCOMPARE(l.elenco.posate(), 500);
        QVERIFY(l.costruite[499]->isVisibleTo(&l.area));
        QTRY_VERIFY(l.costruite[499]->mapTo(l.contenuto, QPoint()).y() > 499 * 54 - 10);
    }

    void aShorterOrReorderedListKeepsOnlyItsRowsInOrder()
    {
        Lista l(30);
        l.elenco.imposta(30);
        l.area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&l.area));
        l.ordine = {7, 3, 5};
        l.elenco.imposta(3);
        QCOMPARE(l.elenco.posate(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(l.colonna->itemAt(i)->widget(), l.costruite[l.ordine[i]]);
        QVERIFY(!l.costruite[0]->isVisibleTo(&l.area));
        QVERIFY(l.costruite[5]->isVisibleTo(&l.area));
    }

    // As a view holds them: the area is its child, destroyed before the
    // list made after it, whose filter still hears the area's last events.
    // Nothing may reach the half-destroyed area (the sanitizers' build
    // tells), nor build a row for a view on its way out.
    void aViewGoesWithItsAreaBeforeItsList()
    {
        auto* vista = new QWidget;
        auto* area = new QScrollArea(vista);
        auto* contenuto = new QWidget;
        auto* colonna = new QVBoxLayout(contenuto);
        area->setWidget(contenuto);
        area->setWidgetResizable(true);
        area->resize(300, 400);
        bool inChiusura = false;
        int fuoriTempo = 0;
        auto* elenco = new ElencoProgressivo(*area, *colonna, [&, righe = QList<QWidget*>()](int i) mutable {
            fuoriTempo += inChiusura;
            while (righe.size() <= i)
                righe << new QLabel(QString::number(righe.size()));
            return righe[i];
        }, vista);
        elenco->imposta(40);
        vista->show();
        QVERIFY(QTest::qWaitForWindowExposed(vista));
        QVERIFY(elenco->posate() > 0);
        inChiusura = true;
        delete vista;
        QCOMPARE(fuoriTempo, 0);
    }
};

QTEST_MAIN(TestElencoProgressivo)
#include "tst_ElencoProgressivo.moc"
