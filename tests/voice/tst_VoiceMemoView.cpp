#include "FakeAudio.h"
#include "FakeClock.h"
#include "MemoRowView.h"
#include "NotificheApp.h"
#include "PulsanteRegistrazione.h"
#include "PulsanteSimbolo.h"
#include "TestOutput.h"
#include "VoiceManager.h"
#include "VoiceMemoView.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The dark notch behind the tab.
class Pannello final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};
} // namespace

class TestVoiceMemoView : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    FakeBackendAudio audio_;
    FakeClock clock_{QDateTime(QDate(2026, 12, 8), QTime(14, 5))};
    std::unique_ptr<VoiceManager> m_;
    std::unique_ptr<Pannello> pannello_;
    VoiceMemoView* vista_ = nullptr;

    QString cartella() const { return dir_->filePath("Documents/VoiceMemos"); }
    QUrl memo(const QString& nome, int minutiFa, const QByteArray& trascrizione = {})
    {
        QFile f(cartella() + "/" + nome + ".m4a");
        f.open(QIODevice::WriteOnly);
        f.write("audio");
        f.flush();
        f.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutiFa), QFileDevice::FileModificationTime);
        if (!trascrizione.isEmpty()) {
            QFile t(cartella() + "/" + nome + ".txt");
            t.open(QIODevice::WriteOnly);
            t.write(trascrizione);
        }
        return QUrl::fromLocalFile(f.fileName());
    }
    void apri()
    {
        m_ = std::make_unique<VoiceManager>(audio_, clock_, dir_->filePath("Documents"));
        pannello_ = std::make_unique<Pannello>();
        pannello_->resize(620, 420);
        vista_ = new VoiceMemoView(*m_, pannello_.get());
        vista_->setGeometry(pannello_->rect().adjusted(10, 12, -10, -10));
        pannello_->show();
        QApplication::setActiveWindow(pannello_.get());
        svuota();
    }
    void svuota()
    {
        svuotaCoda();
        QCoreApplication::processEvents();
    }
    MemoRowView* riga(const QString& nome)
    {
        for (MemoRowView* r : vista_->righe())
            if (r->nomeMostrato() == nome)
                return r;
        return nullptr;
    }
    template <typename T = QAbstractButton> T* parte(MemoRowView* r, const char* nome)
    {
        return r->findChild<T*>(nome);
    }
    QImage salva(const QString& nome)
    {
        svuota();
        return salvaRender(*pannello_, nome);
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QDir().mkpath(cartella());
        audio_.permesso = PermessoMicrofono::autorizzato;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    void cleanup()
    {
        pannello_.reset();
        m_.reset();
    }

    void emptyStateInvitesToRecord()
    {
        apri();
        QVERIFY(vista_->findChild<QWidget*>("statoVuoto")->isVisible());
        QVERIFY(!vista_->findChild<QWidget*>("elencoMemo")->isVisible());
        QVERIFY(vista_->testoStato().isEmpty());
        const QImage img = salva("voice_memo_vuoto");
        // The red button sits in the middle of the tab.
        const QPoint centro = vista_->pulsante()->mapTo(pannello_.get(), vista_->pulsante()->rect().center());
        const QColor c = img.pixelColor(centro + QPoint(-30, 0));
        QVERIFY2(c.red() > 200 && c.green() < 100, qPrintable(c.name()));
    }

    void statusLineShowsTheTimeOverTheError()
    {
        audio_.permesso = PermessoMicrofono::negato;
        apri();
        m_->requestMicrophoneAndRecord();
        svuota();
        const QString errore = "Accesso al microfono negato. Abilitalo in Impostazioni di Sistema.";
        QCOMPARE(vista_->testoStato(), errore);
        salva("voice_memo_stato_errore");
        // The shell marks a recording while the error is still set: the time shows instead.
        m_->setIsRecording(true);
        QCOMPARE(m_->errorMessage(), errore);
        QCOMPARE(vista_->testoStato(), QStringLiteral("00:00"));
        salva("voice_memo_stato_tempo");
        m_->setIsRecording(false);
        QCOMPARE(vista_->testoStato(), errore);
    }

    void pulseFollowsTheRecording()
    {
        apri();
        PulsanteRegistrazione* p = vista_->pulsante();
        QVERIFY(!p->pulsazioneAttiva());
        QTest::mouseClick(p, Qt::LeftButton);
        svuota();
        QVERIFY(m_->isRecording());
        QVERIFY(p->registrando());
        QVERIFY(p->pulsazioneAttiva());
        clock_.advance(7);
        p->impostaImpulso(1.0); // the top of the pulse, for the picture
        QCOMPARE(p->scala(), 1.04);
        QCOMPARE(p->opacita(), 0.92);
        salva("voice_memo_registrazione");

        QTest::mouseClick(p, Qt::LeftButton);
        svuota();
        QVERIFY(!m_->isRecording());
        QVERIFY(!p->pulsazioneAttiva());
        QCOMPARE(p->scala(), 1.0);
        QCOMPARE(p->opacita(), 1.0);
        QCOMPARE(m_->recordings().size(), 1);
        QCOMPARE(vista_->righe().size(), 1);
    }

    void openingDuringARecordingPulsesAtOnce()
    {
        apri();
        m_->startRecording();
        svuota();
        pannello_->hide();
        vista_->pulsante()->impostaRegistrando(false); // as a fresh tab would start
        pannello_->show();
        QVERIFY(vista_->pulsante()->pulsazioneAttiva());
    }

    void listShowsThePlayingMemo()
    {
        memo("Spesa", 30);
        const QUrl idea = memo("Idea per il progetto", 10,
                               "Ricordarsi di riscrivere il capitolo due e di mandare le bozze a Giulia entro "
                               "venerdì, poi fissare la riunione con il gruppo per la settimana successiva.");
        const QUrl chiamata = memo("Memo 8 Dec 14.05", 1);
        apri();
        QCOMPARE(vista_->righe().size(), 3);
        QCOMPARE(vista_->righe().first()->nomeMostrato(), QStringLiteral("Memo 8 Dec 14.05"));
        QTest::mouseClick(parte(riga("Memo 8 Dec 14.05"), "play"), Qt::LeftButton);
        svuota();
        QCOMPARE(m_->playingURL(), chiamata);
        QCOMPARE(parte<PulsanteSimbolo>(riga("Memo 8 Dec 14.05"), "play")->simbolo(),
                 QStringLiteral("pause.circle.fill"));
        QCOMPARE(parte<PulsanteSimbolo>(riga("Spesa"), "play")->simbolo(), QStringLiteral("play.circle.fill"));
        // A memo with a transcript shows it and offers no transcription.
        MemoRowView* conTesto = riga("Idea per il progetto");
        QVERIFY(!parte(conTesto, "trascrivi")->isVisible());
        QVERIFY(parte(conTesto, "copia")->isVisible());
        QVERIFY(parte(riga("Spesa"), "trascrivi")->isVisible());
        m_->setTrascrizioneInCorso(QUrl::fromLocalFile(cartella() + "/Spesa.m4a"));
        QVERIFY(!parte(riga("Spesa"), "trascrivi")->isEnabled());
        QTest::mouseMove(riga("Spesa"));
        QEnterEvent entra(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(riga("Spesa"), &entra);
        QTRY_VERIFY(riga("Spesa")->sottoIlMouse());
        QTRY_COMPARE(riga("Spesa")->evidenza(), 1.0); // the highlight eases in
        salva("voice_memo_elenco");
        (void)idea;
    }

    void longListFadesAtItsEdges()
    {
        for (int i = 0; i < 9; ++i)
            memo(QStringLiteral("Memo %1").arg(i), i);
        apri();
        const QImage img = salva("voice_memo_elenco_lungo");
        auto* elenco = vista_->findChild<QWidget*>("elencoMemo");
        const QRect r(elenco->mapTo(pannello_.get(), QPoint(0, 0)), elenco->size());
        // The card's fill at mid-height against the same column at the very bottom.
        auto luce = [&](int y) { return img.pixelColor(r.left() + r.width() / 3, y).lightness(); };
        int alMassimo = 0;
        for (int y = r.top(); y < r.top() + r.height() / 2; ++y)
            alMassimo = qMax(alMassimo, luce(y));
        QVERIFY(alMassimo > 15);
        QVERIFY2(luce(r.bottom()) < alMassimo / 2, qPrintable(QString::number(luce(r.bottom()))));
    }

    void transcribeButtonAsksForTheTranscript()
    {
        const QUrl a = memo("a", 1);
        apri();
        QSignalSpy richieste(vista_, &VoiceMemoView::trascrizioneRichiesta);
        QTest::mouseClick(parte(riga("a"), "trascrivi"), Qt::LeftButton);
        QCOMPARE(richieste.count(), 1);
        QCOMPARE(richieste.first().first().toUrl(), a);
    }

    void renameThroughTheField()
    {
        memo("a", 2);
        memo("b", 1);
        apri();
        QTest::mouseClick(parte(riga("a"), "rinomina"), Qt::LeftButton);
        QLineEdit* campoA = parte<QLineEdit>(riga("a"), "campoNome");
        QVERIFY(campoA->isVisible());
        QCOMPARE(campoA->text(), QStringLiteral("a"));
        QTRY_VERIFY(campoA->hasFocus());

        // Renaming b takes the field away from a.
        QTest::mouseClick(parte(riga("b"), "rinomina"), Qt::LeftButton);
        QVERIFY(!campoA->isVisible());
        QVERIFY(!campoA->hasFocus());
        QLineEdit* campoB = parte<QLineEdit>(riga("b"), "campoNome");
        QCOMPARE(campoB->text(), QStringLiteral("b"));
        salva("voice_memo_rinomina");
        campoB->selectAll();
        QTest::keyClicks(campoB, "Lista della spesa");
        QTest::keyClick(campoB, Qt::Key_Return);
        svuota();
        QVERIFY(QFile::exists(cartella() + "/Lista della spesa.m4a"));
        QVERIFY(!QFile::exists(cartella() + "/b.m4a"));
        QVERIFY(vista_->rinomina().url().isEmpty());
        QVERIFY(riga("Lista della spesa"));
    }

    void blankNameClosesTheFieldAndKeepsTheName()
    {
        memo("a", 1);
        apri();
        QTest::mouseClick(parte(riga("a"), "rinomina"), Qt::LeftButton);
        QLineEdit* campo = parte<QLineEdit>(riga("a"), "campoNome");
        campo->selectAll();
        QTest::keyClicks(campo, "   ");
        QTest::keyClick(campo, Qt::Key_Return);
        svuota();
        QVERIFY(!campo->isVisible());
        QVERIFY(QFile::exists(cartella() + "/a.m4a"));
        QCOMPARE(vista_->righe().size(), 1);
    }

    void deleteAndCopy()
    {
        memo("a", 2, "testo da copiare");
        memo("b", 1);
        apri();
        QTest::mouseClick(parte(riga("a"), "copia"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("testo da copiare"));
        QTest::mouseClick(parte(riga("a"), "elimina"), Qt::LeftButton);
        svuota();
        QVERIFY(!QFile::exists(cartella() + "/a.m4a"));
        QVERIFY(!QFile::exists(cartella() + "/a.txt"));
        QCOMPARE(vista_->righe().size(), 1);
        QTest::mouseClick(parte(riga("b"), "elimina"), Qt::LeftButton);
        svuota();
        QVERIFY(vista_->findChild<QWidget*>("statoVuoto")->isVisible());
    }

    void dragPostsTheNoticeBeforeHandingTheFileOver()
    {
        const QUrl a = memo("Memo 8 Dec 14.05", 1);
        apri();
        QSignalSpy avvisi(&NotificheApp::shared(), &NotificheApp::trascinamentoAvviato);
        MemoRowView* r = riga("Memo 8 Dec 14.05");
        int avvisiAllaConsegna = -1;
        QList<QUrl> consegnati;
        r->consegnaTrascinamento = [&](QMimeData* dati) {
            avvisiAllaConsegna = avvisi.count();
            consegnati = dati->urls();
            delete dati;
        };
        const QPoint da(r->width() / 2, r->height() / 2);
        QTest::mousePress(r, Qt::LeftButton, {}, da);
        QMouseEvent muovi(QEvent::MouseMove, da + QPoint(30, 5), r->mapToGlobal(da + QPoint(30, 5)), Qt::NoButton,
                          Qt::LeftButton, {});
        QCoreApplication::sendEvent(r, &muovi);
        QCOMPARE(avvisiAllaConsegna, 1);
        QCOMPARE(consegnati, QList<QUrl>{a});
        QVERIFY(consegnati.first().fileName().endsWith(".m4a"));
    }
};

QTEST_MAIN(TestVoiceMemoView)
#include "tst_VoiceMemoView.moc"
