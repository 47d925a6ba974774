#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

// Drives the stand-in browser (tests/media/finto_player with --browser)
// from a test on a private bus and display: starts it, waits for its
// player, reads the calls it received and changes its state. `desktopEntry` installs the
// applications folder entry `<id>.desktop` whose Exec starts a second copy
// that hands its address to `inoltrati()`.
class BrowserFinto {
public:
    BrowserFinto(const QString& programma, const QStringList& argomenti) : programma_(programma)
    {
        p.setProgram(programma);
        p.setArguments(argomenti);
        p.start();
    }
    ~BrowserFinto()
    {
        p.kill();
        p.waitForFinished(2000);
    }
    // Writes the desktop entry `id` into `cartellaApplicazioni`; the addresses
    // it is asked to open land in `fileInoltri`.
    static bool desktopEntry(const QString& programma, const QString& cartellaApplicazioni, const QString& id,
                             const QString& nome, const QString& fileInoltri)
    {
        QDir().mkpath(cartellaApplicazioni);
        QFile f(QDir(cartellaApplicazioni).filePath(id + QStringLiteral(".desktop")));
        return f.open(QIODevice::WriteOnly)
               && f.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2 --inoltra %3 %U\n")
                              .arg(nome, programma, fileInoltri)
                              .toUtf8())
                      > 0;
    }
    bool pronto(int ms = 10000)
    {
        return QTest::qWaitFor([this] { return ricevuti().contains(QStringLiteral("pronto")); }, ms);
    }
    qint64 pid() const { return p.processId(); }
    // The calls it received so far, one per line.
    QStringList ricevuti()
    {
        uscita_ += QString::fromUtf8(p.readAllStandardOutput());
        return uscita_.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Changes its state ("stato Paused", "titolo X", "url U", "posizione-us N") and waits until taken.
    bool comanda(const QString& riga)
    {
        const QString conferma = QStringLiteral("ok ") + riga.section(QLatin1Char(' '), 0, 0);
        const auto prima = ricevuti().count(conferma);
        p.write((riga + QLatin1Char('\n')).toUtf8());
        return QTest::qWaitFor([&] { return ricevuti().count(conferma) > prima; }, 5000);
    }
    // Its visible window (xdotool), 0 until it is mapped.
    quint32 finestra()
    {
        QProcess x;
        x.start(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--pid", QString::number(pid())});
        x.waitForFinished(3000);
        return QString::fromLatin1(x.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).toUInt();
    }

    QProcess p;

private:
    QString programma_;
    QString uscita_;
};
