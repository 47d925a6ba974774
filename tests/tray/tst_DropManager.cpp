#include "DropManager.h"
#include "FornitoreMime.h"
#include "FakeInvioVicino.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QMimeData>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <map>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using Tipo = FornitoreElemento::Tipo;

namespace {

// A provider that answers from another thread, as real ones do, with what
// the test gives it; a missing kind answers with an error.
class FornitoreFinto final : public FornitoreElemento {
public:
    std::map<Tipo, QVariant> elementi;
    QStringList tipi;
    std::optional<QString> nome;
    QString rappresentazione; // path of the file it delivers, empty to fail
    int risposte = 1;         // a faulty provider may answer more than once

    bool conforme(Tipo t) const override { return elementi.count(t) > 0; }
    QStringList tipiRegistrati() const override { return tipi; }
    std::optional<QString> nomeSuggerito() const override { return nome; }
    void caricaElemento(Tipo t, std::function<void(QVariant)> risposta) override
    {
        const QVariant v = conforme(t) ? elementi.at(t) : QVariant();
        const int n = risposte;
        QThreadPool::globalInstance()->start([=] {
            for (int i = 0; i < n; ++i)
                risposta(v);
        });
    }
    void caricaRappresentazione(const QString&, std::function<void(std::optional<QString>)> risposta) override
    {
        const QString r = rappresentazione;
        QThreadPool::globalInstance()->start(
            [=] { risposta(r.isEmpty() ? std::nullopt : std::optional<QString>(r)); });
    }
};

std::shared_ptr<FornitoreFinto> fornitore(std::map<Tipo, QVariant> elementi)
{
    auto f = std::make_shared<FornitoreFinto>();
    f->elementi = std::move(elementi);
    return f;
}

QByteArray leggi(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The tray-relative paths of the listed files, UUIDs written as "U".
QStringList relativi(const DropManager& m)
{
    static const QRegularExpression uuid(
        QStringLiteral("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}"));
    static const QRegularExpression quattro(QStringLiteral("-[0-9A-F]{4}\\.webloc$"));
    QStringList r;
    for (const QUrl& u : m.draggedFiles()) {
        QString p = QDir(DropManager::trayFolder()).relativeFilePath(u.toLocalFile());
        p.replace(uuid, QStringLiteral("U")).replace(quattro, QStringLiteral("-XXXX.webloc"));
        r << p;
    }
    return r;
}

void attendi(DropManager& m, const DropManager::Fornitori& f)
{
    bool fatto = false;
    m.handleProviderDrop(f, [&] { fatto = true; });
    QTRY_VERIFY(fatto);
}

} // namespace

class TestDropManager : public QObject {
    Q_OBJECT
    QTemporaryDir dati;
    QTemporaryDir sorgenti;
    FakeInvioVicino invio;

    QString scrivi(const QString& nome, const QByteArray& contenuto)
    {
        const QString p = sorgenti.filePath(nome);
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write(contenuto);
        return p;
    }

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", QFile::encodeName(dati.path())); }
    void init() { QDir(dati.path()).removeRecursively(); }

    void theTrayLivesInTheAppsDocuments()
    {
        const QString atteso =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Documents/Tray");
        QVERIFY(atteso.startsWith(dati.path()));
        QCOMPARE(DropManager::trayFolder(), atteso);
        QVERIFY(QFileInfo(atteso).isDir());
        // Deleted by hand, it comes back at the next use.
        QVERIFY(QDir(atteso).removeRecursively());
        QCOMPARE(DropManager::trayFolder(), atteso);
        QVERIFY(QFileInfo(atteso).isDir());
    }

    void theListKeepsOrderAndUniqueness()
    {
        DropManager m(invio);
        QSignalSpy cambi(&m, &DropManager::draggedFilesChanged);
        const QUrl a = QUrl::fromLocalFile(QStringLiteral("/x/Tray/a.png"));
        const QUrl b = QUrl::fromLocalFile(QStringLiteral("/x/Tray/b.png"));
        const QUrl c = QUrl::fromLocalFile(QStringLiteral("/x/Tray/c.png"));
        m.addToTray(a);
        m.addToTray(QUrl::fromLocalFile(QStringLiteral("/x/Tray/./a.png")));
        m.addToTray(QUrl::fromLocalFile(QStringLiteral("/x/Tray/sub/../b.png")));
        m.addToTray(c);
        QCOMPARE(m.draggedFiles(), (QList<QUrl>{a, b, c}));
        QCOMPARE(cambi.count(), 3);
        m.remove(b);
        QCOMPARE(m.draggedFiles(), (QList<QUrl>{a, c}));
        m.remove(QUrl::fromLocalFile(QStringLiteral("/x/Tray/z.png")));
        QCOMPARE(m.draggedFiles(), (QList<QUrl>{a, c}));
        QCOMPARE(cambi.count(), 5);
        QCOMPARE(DropManager::sharingItems({a, c}), (QVariantList{QVariant(a), QVariant(c)}));
    }

    // A tray copy lives as long as its row: a new store lists the copies
    // the folder holds in the order they were listed, a removed or cleared
    // row takes its copy to the trash, and the user's files stay.
    void copiesLiveAsLongAsTheirRows()
    {
        const QString uno = scrivi(QStringLiteral("uno.txt"), "1");
        // A name that is not UTF-8 is taken too, under a name that is.
        const QByteArray strano = QFile::encodeName(sorgenti.path()) + "/bad\xff\xfename.txt";
        {
            const int fd = ::open(strano.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            QVERIFY(fd >= 0 && ::write(fd, "strano", 6) == 6);
            ::close(fd);
        }
        // QTemporaryDir cannot remove a name that is not UTF-8.
        const auto togli = qScopeGuard([&] { ::unlink(strano.constData()); });
        const QUrl urlStrano = QUrl::fromEncoded("file://" + strano.toPercentEncoding("/"));
        QStringList prima;
        {
            DropManager m(invio);
            attendi(m, {fornitore({{Tipo::fileURL, QUrl::fromLocalFile(uno)}}),
                        fornitore({{Tipo::testo, QStringLiteral("due")}}),
                        fornitore({{Tipo::fileURL, urlStrano}}),
                        fornitore({{Tipo::url, QUrl(QStringLiteral("https://example.com"))}})});
            prima = relativi(m);
            QCOMPARE(prima, (QStringList{"U/uno.txt", "U/due.txt", QString::fromUtf8("U/bad\uFFFD\uFFFDname.txt"),
                                         "example.com.webloc"}));
            QCOMPARE(leggi(m.draggedFiles()[2].toLocalFile()), QByteArray("strano"));
        }
        DropManager m(invio);
        QTRY_COMPARE(relativi(m), prima);

        const QString cestino = dati.filePath(QStringLiteral("Trash/files"));
        const QUrl primo = m.draggedFiles().first();
        m.remove(primo);
        QTRY_VERIFY(!QFileInfo::exists(QFileInfo(primo.toLocalFile()).path()));
        QCOMPARE(leggi(cestino + QLatin1Char('/') + QFileInfo(primo.toLocalFile()).dir().dirName() + "/uno.txt"), "1");
        // A row for the user's own file never takes the file with it.
        m.addToTray(QUrl::fromLocalFile(uno));
        m.remove(QUrl::fromLocalFile(uno));
        m.setDraggedFiles({});
        QTRY_COMPARE(QDir(DropManager::trayFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(cestino).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 4);
        QCOMPARE(leggi(uno), QByteArray("1"));
        QVERIFY(::access(strano.constData(), R_OK) == 0);
        // Nothing is left to list after a restart.
        DropManager vuoto(invio);
        QTest::qWait(100);
        QVERIFY(vuoto.draggedFiles().isEmpty());
    }

    // What drops cut off by a kill left in the tray (a copy that never took
    // its name, a link never published) goes to the trash at the next start
    // under its own name, never listed; one still being written stays.
    void leftoversOfCutOffDropsGoToTheTrashAtStart()
    {
        const QDir tray(DropManager::trayFolder());
        QVERIFY(tray.mkpath(".parziale-0A1B2C3D-0000-0000-0000-000000000001"));
        QVERIFY(tray.mkpath(".parziale-0A1B2C3D-0000-0000-0000-000000000002"));
        QVERIFY(tray.mkpath(".parziale-0A1B2C3D-0000-0000-0000-000000000003"));
        for (const auto& [nome, testo] : {std::pair{".parziale-0A1B2C3D-0000-0000-0000-000000000001/Report.pdf", "%PDF"},
                                          {".salvataggio-Ab12Cd.example.com.webloc", "<plist/>"},
                                          {"../.salvataggio-Ef34Gh..ordine-vassoio", "X\n"}}) {
            QFile f(tray.filePath(nome));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(testo) > 0);
        }
        // Held as a writer holds it.
        const int presa = ::open(QFile::encodeName(tray.filePath(".parziale-0A1B2C3D-0000-0000-0000-000000000003")).constData(),
                                 O_RDONLY | O_DIRECTORY);
        QVERIFY(presa >= 0 && ::flock(presa, LOCK_EX) == 0);
        DropManager m(invio);
        const QStringList rimasti{".parziale-0A1B2C3D-0000-0000-0000-000000000003"};
        QTRY_COMPARE(tray.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), rimasti);
        ::close(presa);
        QVERIFY(!QFileInfo::exists(tray.filePath("../.salvataggio-Ef34Gh..ordine-vassoio")));
        const QDir cestino(dati.filePath(QStringLiteral("Trash/files")));
        QCOMPARE(leggi(cestino.filePath("Report.pdf")), QByteArray("%PDF"));
        QCOMPARE(leggi(cestino.filePath("example.com.webloc")), QByteArray("<plist/>"));
        QVERIFY(m.draggedFiles().isEmpty());
    }

    void aDropLandsEachItemInOrder()
    {
        const QString report = scrivi(QStringLiteral("Report.pdf"), "%PDF-1.7");
        scrivi(QStringLiteral("Cartella/dentro.txt"), "dentro");
        QVERIFY(::symlink("/etc/hostname", QFile::encodeName(sorgenti.filePath(QStringLiteral("Cartella/link"))).constData()) == 0);
        QImage img(3, 2, QImage::Format_ARGB32);
        img.fill(Qt::blue);
        QByteArray jpeg;
        {
            QBuffer b(&jpeg);
            b.open(QIODevice::WriteOnly);
            img.save(&b, "JPG");
        }
        auto rotto = fornitore({{Tipo::fileURL, QUrl::fromLocalFile(sorgenti.filePath(QStringLiteral("manca.pdf")))}});
        auto doppio = fornitore({{Tipo::testo, QStringLiteral("una riga")}});
        doppio->risposte = 2;
        auto fileConTesto = fornitore({{Tipo::fileURL, QUrl::fromLocalFile(report)}, {Tipo::testo, QStringLiteral("testo")}});
        auto bytesURL = fornitore({{Tipo::fileURL, QUrl::fromLocalFile(report).toEncoded()}});

        DropManager m(invio);
        attendi(m, {
                       fornitore({{Tipo::fileURL, QUrl::fromLocalFile(report)}}),
                       fornitore({{Tipo::fileURL, QUrl::fromLocalFile(sorgenti.filePath(QStringLiteral("Cartella")))}}),
                       rotto,
                       fornitore({{Tipo::url, QUrl(QStringLiteral("https://example.com/pagina"))}}),
                       fornitore({{Tipo::testo, QStringLiteral("  https://example.com/altro \n")}}),
                       fornitore({{Tipo::testo, QByteArray("Lista: cose/da\\fare\nlatte")}}),
                       fornitore({{Tipo::immagine, jpeg}}),
                       fornitore({{Tipo::url, QUrl(QStringLiteral("mailto:a@b.it"))}, {Tipo::testo, QStringLiteral("x")}}),
                       fornitore({{Tipo::testo, QByteArray("\xff\xfe non UTF-8")}}),
                       fornitore({{Tipo::immagine, QByteArray("non un'immagine")}}),
                       doppio,
                       fileConTesto,
                       bytesURL,
                   });
        QCOMPARE(relativi(m), (QStringList{
                                  QStringLiteral("U/Report.pdf"),
                                  QStringLiteral("U/Cartella"),
                                  QStringLiteral("example.com.webloc"),
                                  QStringLiteral("example.com-XXXX.webloc"),
                                  QStringLiteral("U/Lista- cose-da-fare.txt"),
                                  QStringLiteral("U_image.png"),
                                  QStringLiteral("U/una riga.txt"),
                                  QStringLiteral("U/Report.pdf"),
                                  QStringLiteral("U/Report.pdf"),
                              }));
        const QList<QUrl> f = m.draggedFiles();
        QCOMPARE(leggi(f[0].toLocalFile()), QByteArray("%PDF-1.7"));
        QVERIFY(f[0] != f[7] && f[7] != f[8]);
        QCOMPARE(QFile::symLinkTarget(f[1].toLocalFile() + QStringLiteral("/link")), QStringLiteral("/etc/hostname"));
        QVERIFY(leggi(f[2].toLocalFile()).contains("<string>https://example.com/pagina</string>"));
        QVERIFY(leggi(f[3].toLocalFile()).contains("<string>https://example.com/altro</string>"));
        QCOMPARE(leggi(f[4].toLocalFile()), QByteArray("Lista: cose/da\\fare\nlatte"));
        QCOMPARE(QImage(f[5].toLocalFile()).size(), QSize(3, 2));
        QVERIFY(leggi(f[5].toLocalFile()).startsWith("\x89PNG"));
    }

    void aRepresentationComesBeforeTextAndStaysInTheTray_data()
    {
        QTest::addColumn<QString>("suggerito");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("plain") << "Appunti" << "Appunti.rtf";
        QTest::newRow("parent") << "../../fuori" << "fuori.rtf";
        QTest::newRow("absolute") << "/etc/passwd" << "passwd.rtf";
        QTest::newRow("empty") << "" << "bozza.rtf";
        QTest::newRow("dot") << "." << "bozza.rtf";
        QTest::newRow("dot dot") << ".." << "bozza.rtf";
    }
    void aRepresentationComesBeforeTextAndStaysInTheTray()
    {
        QFETCH(QString, suggerito);
        QFETCH(QString, atteso);
        auto f = fornitore({{Tipo::testo, QStringLiteral("testo")}});
        f->tipi = {QStringLiteral("text/rtf")};
        f->nome = suggerito;
        f->rappresentazione = scrivi(QStringLiteral("bozza.rtf"), "{\\rtf1}");
        auto fallita = fornitore({{Tipo::testo, QStringLiteral("ripiego")}});
        fallita->tipi = {QStringLiteral("text/rtf")};

        DropManager m(invio);
        attendi(m, {f, fallita});
        QCOMPARE(relativi(m), (QStringList{QStringLiteral("U/") + atteso, QStringLiteral("U/ripiego.txt")}));
        // Nothing was written beside the tray.
        QCOMPARE(QDir(QFileInfo(DropManager::trayFolder()).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Tray")});
    }

    void aQtDropBecomesProviders()
    {
        const QString a = scrivi(QStringLiteral("a.txt"), "a");
        const QString b = scrivi(QStringLiteral("b.txt"), "b");
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(a), QUrl(QStringLiteral("https://example.org/x")), QUrl::fromLocalFile(b)});
        file.setText(QStringLiteral("ignorato"));
        QMimeData testo;
        testo.setText(QStringLiteral("Spesa\nlatte"));
        QMimeData immagine;
        QImage img(2, 2, QImage::Format_RGB32);
        img.fill(Qt::green);
        immagine.setImageData(img);
        QMimeData documento;
        documento.setData(QStringLiteral("application/pdf"), "%PDF-1.4");
        QMimeData conNome;
        conNome.setData(QStringLiteral("application/vnd.oasis.opendocument.text"), "PK odt");
        conNome.setData(QStringLiteral("application/x-kde-suggestedfilename"), "../Verbale");
        QMimeData vuoto;
        QVERIFY(fornitoriDaMime(vuoto).isEmpty());

        DropManager m(invio);
        DropManager::Fornitori tutti = fornitoriDaMime(file);
        QCOMPARE(tutti.size(), 3);
        tutti << fornitoriDaMime(testo) << fornitoriDaMime(immagine) << fornitoriDaMime(documento)
              << fornitoriDaMime(conNome);
        attendi(m, tutti);
        QCOMPARE(relativi(m), (QStringList{QStringLiteral("U/a.txt"), QStringLiteral("example.org.webloc"),
                                           QStringLiteral("U/b.txt"), QStringLiteral("U/Spesa.txt"),
                                           QStringLiteral("U_image.png"), QStringLiteral("U/elemento.pdf"),
                                           QStringLiteral("U/Verbale.odt")}));
        QCOMPARE(leggi(m.draggedFiles()[5].toLocalFile()), QByteArray("%PDF-1.4"));
        QCOMPARE(leggi(m.draggedFiles()[6].toLocalFile()), QByteArray("PK odt"));
    }

    void sendingTakesOnlyFilesThatExist()
    {
        const QUrl a = QUrl::fromLocalFile(scrivi(QStringLiteral("s1.txt"), "1"));
        const QUrl manca = QUrl::fromLocalFile(sorgenti.filePath(QStringLiteral("manca.txt")));
        const QUrl b = QUrl::fromLocalFile(scrivi(QStringLiteral("s2.txt"), "2"));
        DropManager m(invio);
        invio.chiesti.clear();
        invio.inviati.clear();

        std::optional<bool> risposta;
        m.puoInviareConAirDrop({manca}, [&](bool r) { risposta = r; });
        QCOMPARE(risposta, std::optional<bool>(false));
        QVERIFY(invio.chiesti.isEmpty());
        m.puoInviareConAirDrop({b, manca, a}, [&](bool r) { risposta = r; });
        QCOMPARE(risposta, std::optional<bool>(true));
        QCOMPARE(invio.chiesti, (QList<QStringList>{{b.toLocalFile(), a.toLocalFile()}}));

        m.inviaConAirDrop({manca});
        m.inviaConAirDrop({a, manca, b});
        m.inviaConAirDrop({a, manca, b});
        QCOMPARE(invio.inviati, (QList<QStringList>{{a.toLocalFile(), b.toLocalFile()}, {a.toLocalFile(), b.toLocalFile()}}));
    }
};

QTEST_GUILESS_MAIN(TestDropManager)
#include "tst_DropManager.moc"
