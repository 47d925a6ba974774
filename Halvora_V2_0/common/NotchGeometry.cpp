#include "NotchGeometry.h"

#include "CasaReale.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

namespace NotchGeometry {

ScreenInfo sottoPannelloSuperiore(const ScreenInfo& s)
{
    if (s.haTacca() || s.altezzaBarraMenu() <= 0)
        return s;
    ScreenInfo sotto = s;
    sotto.frame.setTop(s.visibleFrame.top());
    return sotto;
}

QSizeF notchRect(const ScreenInfo& s)
{
    const double menuBar = s.altezzaBarraMenu();
    if (!s.haTacca())
        return {180, std::max(32.0, menuBar)};
    const double h = std::max(s.insettoSuperiore, s.areaSuperioreSinistra->height());
    const double w = s.frame.width() - s.areaSuperioreSinistra->width() - s.areaSuperioreDestra->width();
    // The drawn strip is slightly narrower and lower than the cut-out.
    return {w - 4, h - 1.5};
}

double centroTacca(const ScreenInfo& s)
{
    if (!s.haTacca())
        return s.frame.center().x();
    const double fineSinistra = s.frame.left() + s.areaSuperioreSinistra->width();
    const double inizioDestra = s.frame.right() - s.areaSuperioreDestra->width();
    return (fineSinistra + inizioDestra) / 2;
}

Posizione Posizione::risolta() const
{
    // A linked ~/Applications or home folder: the running bundle comes
    // resolved by the system, so the other side must be too.
    return {percorsoRisolto(bundle), percorsoRisolto(eseguibile), percorsoRisolto(home), percorsoRisolto(applicazioni)};
}

QString Posizione::destinazione() const
{
    return QDir(applicazioni).filePath(QFileInfo(QDir::cleanPath(bundle)).fileName());
}

Posizione Posizione::corrente(const QString& applicazioni)
{
    Posizione p;
    p.eseguibile = QCoreApplication::applicationFilePath();
    p.bundle = QCoreApplication::applicationDirPath();
    p.home = QDir::homePath();
    p.applicazioni = applicazioni.isEmpty() ? cartellaApplicazioni() : applicazioni;
    return p.risolta();
}

namespace {
const QString kTraslocazione = QStringLiteral("/AppTranslocation/");
const QString kVolumi = QStringLiteral("/Volumes/");
} // namespace

bool isTranslocatedFromApplications(const Posizione& p)
{
    if (!p.bundle.contains(kTraslocazione))
        return false;
    const QString installata = QStringLiteral("%1/%2/Contents/MacOS/%3")
                                   .arg(p.applicazioni, QFileInfo(p.bundle).fileName(),
                                        QFileInfo(p.eseguibile).fileName());
    struct stat a {}, b {};
    if (::stat(QFile::encodeName(installata).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(p.eseguibile).constData(), &b) != 0)
        return false;
    return a.st_ino == b.st_ino && a.st_size == b.st_size;
}

bool isRunningFromBadLocation(const Posizione& p)
{
    if (p.bundle.contains(kTraslocazione) && !isTranslocatedFromApplications(p))
        return true;
    return p.bundle.startsWith(kVolumi);
}

bool isRunningFromTemporaryLocation(const Posizione& p)
{
    return p.bundle.contains(kTraslocazione) || p.bundle.startsWith(kVolumi);
}

bool isInApplications(const Posizione& p)
{
    return p.bundle.startsWith(QStringLiteral("/Applications/")) ||
           (!p.home.isEmpty() && p.bundle.startsWith(p.home + QStringLiteral("/Applications/"))) ||
           p.bundle.startsWith(p.applicazioni + QLatin1Char('/'));
}

} // namespace NotchGeometry
