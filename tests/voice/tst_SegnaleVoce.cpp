#include "ContrattoRiconoscimento.h"
#include "SegnaleVoce.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace SegnaleVoce;

namespace {
constexpr int kHz = 16000;

// `secondi` of a 300 Hz tone at `ampiezza`, or of silence at 0.
void aggiungi(std::vector<float>& s, double secondi, float ampiezza)
{
    const std::size_t n = std::size_t(secondi * kHz);
    for (std::size_t i = 0; i < n; ++i)
        s.push_back(ampiezza * float(std::sin(2 * M_PI * 300 * double(s.size()) / kHz)));
}
} // namespace

class TestSegnaleVoce : public QObject {
    Q_OBJECT

private slots:
    void gainBringsQuietRecordingsUp_data()
    {
        QTest::addColumn<float>("picco");
        QTest::addColumn<float>("guadagno"); // 0: left alone
        QTest::newRow("silence") << 0.0f << 0.0f;
        QTest::newRow("very quiet: at most twelvefold") << 0.01f << 12.0f;
        QTest::newRow("quiet: up to 0.7") << 0.35f << 2.0f;
        QTest::newRow("loud enough (gain 1.17)") << 0.6f << 0.0f;
        QTest::newRow("clipping") << 1.0f << 0.0f;
    }
    void gainBringsQuietRecordingsUp()
    {
        QFETCH(float, picco);
        QFETCH(float, guadagno);
        const auto g = SegnaleVoce::guadagno(picco);
        QCOMPARE(g.value_or(0.0f), guadagno);

        std::vector<float> campioni{0.0f, -picco, picco / 2};
        QCOMPARE(normalizza(campioni), guadagno > 0);
        QCOMPARE(campioni[1], guadagno > 0 ? -picco * guadagno : -picco);
    }

    void splitsAtPausesAndLeavesSilenceOut()
    {
        // Nothing but silence: nothing to recognise.
        std::vector<float> muto(kHz * 5, 0.0f);
        QVERIFY(dividiAllePause(muto, kHz).empty());

        // Six seconds of voice, then a pause, three times over: a piece ends
        // only in a pause, and only once it is long enough.
        std::vector<float> s;
        for (int i = 0; i < 3; ++i) {
            aggiungi(s, 6, 0.5f);
            aggiungi(s, 1, 0.0f);
        }
        const auto tratti = dividiAllePause(s, kHz);
        QCOMPARE(tratti.size(), std::size_t(2));
        QCOMPARE(tratti.front().inizio, std::size_t(0));
        const std::size_t taglio = tratti[0].fine;
        QCOMPARE(tratti[1].inizio, taglio);
        QVERIFY2(taglio > 13 * kHz && taglio < 14 * kHz, qPrintable(QString::number(taglio)));
        QVERIFY(tratti[1].fine >= 20 * kHz);

        // Speech that never pauses is still cut, at most every 25 s, with nothing lost.
        std::vector<float> lungo;
        aggiungi(lungo, 60, 0.5f);
        const auto pezzi = dividiAllePause(lungo, kHz);
        QVERIFY(pezzi.size() >= 3);
        std::size_t atteso = 0;
        for (const Tratto& t : pezzi) {
            QCOMPARE(t.inizio, atteso);
            QVERIFY(t.fine - t.inizio <= std::size_t(25 * kHz));
            atteso = t.fine;
        }
        QCOMPARE(atteso, lungo.size());
    }

    void samplesBecomeClippedIntegers()
    {
        const std::vector<float> s{0.0f, 0.5f, -1.0f, 2.0f};
        QCOMPARE(aInteri(s, {1, 4}), (std::vector<int16_t>{16384, -32767, 32767}));
    }

    void aModelNeedsAllThreeParts()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("en-us/acustico");
        auto crea = [&](const QString& nome) {
            QFile f(dir.filePath(nome));
            QVERIFY(f.open(QIODevice::WriteOnly));
        };
        crea("en-us/acustico/mdef");
        crea("en-us/en-us-phone.lm.bin");
        crea("en-us/parole.dict");
        // The phonetic model is no language model.
        QVERIFY(!ContrattoRiconoscimento::trovaModello(dir.filePath("en-us")));
        crea("en-us/en-us.lm.bin");
        const auto m = ContrattoRiconoscimento::trovaModello(dir.filePath("en-us"));
        QVERIFY(m);
        QCOMPARE(m->acustico, dir.filePath("en-us/acustico"));
        QCOMPARE(m->linguistico, dir.filePath("en-us/en-us.lm.bin"));
        QCOMPARE(m->dizionario, dir.filePath("en-us/parole.dict"));
        QVERIFY(!ContrattoRiconoscimento::trovaModello(dir.filePath("assente")));

        const auto r = ContrattoRiconoscimento::leggi(ContrattoRiconoscimento::argomenti("/m", "/a.m4a"));
        QVERIFY(r);
        QCOMPARE(r->cartellaModello, QStringLiteral("/m"));
        QCOMPARE(r->file, QStringLiteral("/a.m4a"));
        QVERIFY(!ContrattoRiconoscimento::leggi({"/a.m4a"}));
    }
};

QTEST_GUILESS_MAIN(TestSegnaleVoce)
#include "tst_SegnaleVoce.moc"
