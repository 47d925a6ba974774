// A large drop of small files on the tray tab, with the tab shown as the
// notch shows it: files taken per second over each tenth of the drop. A
// drop that stays linear keeps the same rate from the first tenth to the
// last. Usage: bench_rilascio [files] (5000 by default).
#include "DropManager.h"
#include "FakeInvioVicino.h"
#include "SmartTrayView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <cstdio>

namespace {

// A provider that hands over one file URL, answering from another thread as real ones do.
class FornitoreFile final : public FornitoreElemento {
public:
    explicit FornitoreFile(QUrl u) : url_(std::move(u)) {}
    bool conforme(Tipo t) const override { return t == Tipo::fileURL; }
    QStringList tipiRegistrati() const override { return {}; }
    std::optional<QString> nomeSuggerito() const override { return std::nullopt; }
    void caricaElemento(Tipo, std::function<void(QVariant)> risposta) override
    {
        QThreadPool::globalInstance()->start([u = url_, risposta] { risposta(u); });
    }
    void caricaRappresentazione(const QString&, std::function<void(std::optional<QString>)> r) override { r({}); }

private:
    QUrl url_;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dati;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dati.path()));
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 5000;
    QTemporaryDir sorgenti;
    DropManager::Fornitori fornitori;
    for (int i = 0; i < n; ++i) {
        QFile f(sorgenti.filePath(QStringLiteral("file-%1.txt").arg(i)));
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(8192, 'x'));
        fornitori << std::make_shared<FornitoreFile>(QUrl::fromLocalFile(f.fileName()));
    }
    FakeInvioVicino invio;
    DropManager m(invio);
    SmartTrayView vista(m);
    vista.resize(560, 260);
    vista.show();

    const int decimo = std::max(1, n / 10);
    QElapsedTimer orologio;
    qint64 inizioTratto = 0;
    QObject::connect(&m, &DropManager::draggedFilesChanged, [&] {
        const auto k = m.draggedFiles().size();
        if (k % decimo != 0)
            return;
        const qint64 ora = orologio.nsecsElapsed();
        std::printf("%6lld files: %7.1f files/s\n", static_cast<long long>(k), decimo * 1e9 / double(ora - inizioTratto));
        std::fflush(stdout);
        inizioTratto = ora;
    });
    bool fatto = false;
    orologio.start();
    m.handleProviderDrop(fornitori, [&] { fatto = true; });
    while (!fatto)
        app.processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("%d files in %.1f s\n", n, orologio.elapsed() / 1000.0);
    return 0;
}
