#include "PersistenzaVassoio.h"

#include "SalvataggioSicuro.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTextBoundaryFinder>
#include <QUuid>
#include <algorithm>
#include <functional>
#include <limits>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PersistenzaVassoio {
namespace {

using SalvataggioSicuro::Errore;

// Folders nested deeper than this are refused rather than walked.
constexpr int kProfonditaMassima = 256;
// Attempts at a free name before a new file gives up.
constexpr int kTentativiNome = 16;

QByteArray locale(const QString& percorso) { return QFile::encodeName(percorso); }

// The first failure of a copy, kept for the caller.
struct Guasto {
    int codice = 0;
    bool segna(int c)
    {
        if (!codice)
            codice = c ? c : EIO;
        return false;
    }
};

bool copiaVoce(const QByteArray& da, const QByteArray& a, int profondita, Guasto& g);

// A byte copy, synced before anything makes it visible. Paths are bytes
// as the file system has them: a name that is not UTF-8 is copied too.
bool copiaFile(const QByteArray& da, const QByteArray& a, Guasto& g)
{
    const int in = ::open(da.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return g.segna(errno);
    struct stat st {};
    const int out = ::fstat(in, &st) == 0
                        ? ::open(a.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)
                        : -1;
    if (out < 0) {
        g.segna(errno);
        ::close(in);
        return false;
    }
    QByteArray blocco(qBound(qint64(4096), qint64(st.st_size), qint64(1) << 20), Qt::Uninitialized);
    bool ok = true;
    // Only the data is copied: the holes of a sparse file stay holes, so a
    // file of gigabytes that holds little takes little room in the tray too.
    off_t pos = 0;
    bool perParti = true; // the file system tells data from holes
    while (ok) {
        off_t inizio = pos, fine = std::numeric_limits<off_t>::max();
        if (perParti) {
            inizio = ::lseek(in, pos, SEEK_DATA);
            if (inizio < 0 && errno == ENXIO)
                break; // nothing but a hole up to the end
            if (inizio < 0) {
                perParti = false; // cannot tell: the rest is copied whole
                inizio = pos;
            } else if (const off_t buco = ::lseek(in, inizio, SEEK_HOLE); buco > inizio) {
                fine = buco;
            }
        }
        if (::lseek(in, inizio, SEEK_SET) != inizio || ::lseek(out, inizio, SEEK_SET) != inizio) {
            ok = g.segna(errno);
            break;
        }
        pos = inizio;
        bool allaFine = false;
        while (pos < fine) {
            const ssize_t letti = ::read(in, blocco.data(), size_t(std::min<off_t>(blocco.size(), fine - pos)));
            if (letti < 0 && errno == EINTR)
                continue;
            if (letti <= 0) {
                ok = letti == 0 || g.segna(errno);
                allaFine = true;
                break;
            }
            if (const auto e = SalvataggioSicuro::scriviTutto(out, blocco.constData(), letti)) {
                ok = g.segna(e->codice);
                break;
            }
            pos += letti;
        }
        if (allaFine)
            break;
    }
    // A hole at the end holds no data: the copy is given the length.
    ok = ok && (::ftruncate(out, std::max<off_t>(pos, st.st_size)) == 0 || g.segna(errno));
    ::close(in);
    // The copy stays the user's to change and to delete.
    ok = ok && (::fchmod(out, (st.st_mode & 0777) | S_IWUSR) == 0 || g.segna(errno));
    ok = ok && (::fsync(out) == 0 || g.segna(errno));
    if (::close(out) != 0 && ok && errno != EINTR)
        ok = g.segna(errno);
    return ok;
}

bool copiaCartella(const QByteArray& da, const QByteArray& a, int profondita, Guasto& g)
{
    if (profondita > kProfonditaMassima)
        return g.segna(ELOOP);
    struct stat st {};
    if (::stat(da.constData(), &st) != 0 || ::mkdir(a.constData(), 0700) != 0)
        return g.segna(errno);
    DIR* dir = ::opendir(da.constData());
    if (!dir)
        return g.segna(errno);
    bool ok = true;
    while (ok) {
        errno = 0;
        const dirent* voce = ::readdir(dir);
        if (!voce) {
            ok = errno == 0 || g.segna(errno);
            break;
        }
        const QByteArray nome(voce->d_name);
        if (nome == "." || nome == "..")
            continue;
        ok = copiaVoce(da + '/' + nome, a + '/' + nome, profondita + 1, g);
    }
    ::closedir(dir);
    if (!ok)
        return false;
    ::chmod(a.constData(), (st.st_mode & 0777) | S_IRWXU);
    if (const auto e = SalvataggioSicuro::sincronizzaCartella(QFile::decodeName(a)))
        return g.segna(e->codice);
    return true;
}

// One entry inside a dropped folder: links stay links (so nothing outside
// the folder is read and no cycle can form), pipes and devices are left out.
bool copiaVoce(const QByteArray& da, const QByteArray& a, int profondita, Guasto& g)
{
    struct stat st {};
    if (::lstat(da.constData(), &st) != 0)
        return g.segna(errno);
    if (S_ISLNK(st.st_mode)) {
        QByteArray destinazione(st.st_size > 0 ? st.st_size + 1 : 4096, '\0');
        const ssize_t n = ::readlink(da.constData(), destinazione.data(), destinazione.size());
        if (n < 0 || n >= destinazione.size())
            return g.segna(n < 0 ? errno : ENAMETOOLONG);
        destinazione.truncate(n);
        return ::symlink(destinazione.constData(), a.constData()) == 0 || g.segna(errno);
    }
    if (S_ISDIR(st.st_mode))
        return copiaCartella(da, a, profondita, g);
    if (S_ISREG(st.st_mode))
        return copiaFile(da, a, g);
    return true;
}

// The dropped item itself: a link is followed once, so the tray holds the
// content rather than a pointer at the user's file.
bool copiaRadice(const QByteArray& da, const QByteArray& a, Guasto& g)
{
    struct stat st {};
    if (::stat(da.constData(), &st) != 0)
        return g.segna(errno);
    if (S_ISREG(st.st_mode))
        return copiaFile(da, a, g);
    if (S_ISDIR(st.st_mode))
        return copiaCartella(da, a, 0, g);
    return false; // a pipe or a device is no item: skipped, not a failure
}

QByteArray reale(const QByteArray& percorso)
{
    char* r = ::realpath(percorso.constData(), nullptr);
    if (!r)
        return {};
    const QByteArray b(r);
    std::free(r);
    return b;
}

// True when copying `sorgente` would walk into the tray itself.
bool contieneTray(const QByteArray& sorgente, const QString& tray)
{
    const QByteArray s = reale(sorgente);
    const QByteArray t = reale(locale(tray));
    if (s.isEmpty() || t.isEmpty())
        return false;
    return s == "/" || t == s || t.startsWith(s + '/');
}

void riporta(const Guasto& g, Errore* errore)
{
    if (g.codice && errore)
        *errore = Errore{g.codice};
}

// Writes <tray>/<UUID>/<nome> through `scrivi`, into a hidden folder first
// that is renamed to its UUID only when everything is there: a failure or
// a kill leaves no empty or partial copy in the tray.
std::optional<QString> inNuovaCartella(const QString& tray, const QString& nome, Errore* errore,
                                       const std::function<bool(const QByteArray& destinazione, Guasto&)>& scrivi)
{
    const QString uuid = nuovoUuid();
    const QString preparazione = tray + QLatin1Char('/') + QLatin1String(kPrefissoParziale) + uuid;
    const QString finale = tray + QLatin1Char('/') + uuid;
    Guasto g;
    if (::mkdir(locale(preparazione).constData(), 0777) != 0) {
        g.segna(errno);
        riporta(g, errore);
        return std::nullopt;
    }
    // Held while it is written: the start-up's look for leftovers passes it by.
    const int presa = ::open(locale(preparazione).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (presa >= 0)
        ::flock(presa, LOCK_EX);
    const auto lascia = qScopeGuard([presa] {
        if (presa >= 0)
            ::close(presa);
    });
    bool ok = scrivi(locale(preparazione + QLatin1Char('/') + nome), g);
    if (ok) {
        if (const auto e = SalvataggioSicuro::sincronizzaCartella(preparazione))
            ok = g.segna(e->codice);
    }
    ok = ok && (::rename(locale(preparazione).constData(), locale(finale).constData()) == 0 || g.segna(errno));
    if (!ok) {
        QDir(preparazione).removeRecursively();
        riporta(g, errore);
        return std::nullopt;
    }
    if (const auto e = SalvataggioSicuro::sincronizzaCartella(tray)) {
        // In place, but not known to last: reported, and left for the user.
        if (errore)
            *errore = *e;
    }
    return finale + QLatin1Char('/') + nome;
}

std::optional<QString> copiaInNuovaCartella(const QByteArray& sorgente, const QString& nome, const QString& tray,
                                            Errore* errore)
{
    if (contieneTray(sorgente, tray))
        return std::nullopt;
    return inNuovaCartella(tray, nome, errore,
                           [&](const QByteArray& destinazione, Guasto& g) { return copiaRadice(sorgente, destinazione, g); });
}

// Writes `dati` under the first free name that `nome(tentativo)` gives.
// The bytes go to a hidden temporary file first, synced, which is then
// published only if the name is still free, so a new file never replaces
// another and nobody sees it half written.
std::optional<QString> scriviNuovo(const QString& cartella, const std::function<QString(int)>& nome,
                                   const QByteArray& dati, Errore* errore, int tentativi = kTentativiNome)
{
    SalvataggioSicuro::Temporaneo temporaneo(cartella, nome(0));
    if (temporaneo.impostaModo(0644) && temporaneo.scrivi(dati))
        for (int i = 0; i < tentativi; ++i) {
            const QString destinazione = cartella + QLatin1Char('/') + nome(i);
            if (temporaneo.pubblica(destinazione))
                return destinazione;
            if (temporaneo.errore())
                break;
        }
    if (temporaneo.errore() && errore)
        *errore = *temporaneo.errore();
    return std::nullopt;
}

QString xmlEscape(const QString& s) { return s.toHtmlEscaped().replace(QStringLiteral("&quot;"), QStringLiteral("\"")); }

QString primiCaratteri(const QString& s, int quanti)
{
    QTextBoundaryFinder confini(QTextBoundaryFinder::Grapheme, s);
    int contati = 0;
    while (contati < quanti && confini.toNextBoundary() != -1)
        ++contati;
    return confini.position() == -1 ? s : s.left(confini.position());
}

} // namespace

QString nuovoUuid() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

QString nomeSicuro(const QString& nome)
{
    const QStringList parti = nome.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString n = parti.isEmpty() ? QString() : parti.last();
    n.replace(QChar(u'\0'), QLatin1Char('-'));
    if (n == QLatin1String(".") || n == QLatin1String(".."))
        return {};
    return n;
}

std::optional<QUrl> webURL(const QString& s)
{
    const QUrl u(s.trimmed(), QUrl::TolerantMode);
    if (!u.isValid())
        return std::nullopt;
    const QString schema = u.scheme().toLower();
    if ((schema != QLatin1String("http") && schema != QLatin1String("https")) || u.host().isEmpty())
        return std::nullopt;
    return u;
}

QByteArray contenutoWebloc(const QString& link)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                          "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                          "<plist version=\"1.0\">\n"
                          "<dict>\n"
                          "\t<key>URL</key>\n"
                          "\t<string>%1</string>\n"
                          "</dict>\n"
                          "</plist>\n")
        .arg(xmlEscape(link))
        .toUtf8();
}

QString nomeTesto(const QString& testoRifilato)
{
    static const QRegularExpression finiRiga(QStringLiteral("[\\n\\r\\x{2028}\\x{2029}\\x{85}]"));
    static const QRegularExpression separatori(QStringLiteral("[/:\\\\]"));
    static const QRegularExpression bordi(QStringLiteral("^[ \\t]+|[ \\t]+$"));
    const qsizetype fine = testoRifilato.indexOf(finiRiga);
    QString titolo = fine < 0 ? testoRifilato : testoRifilato.left(fine);
    titolo.replace(separatori, QStringLiteral("-"));
    titolo.remove(bordi);
    titolo.replace(QChar(u'\0'), QLatin1Char('-'));
    if (titolo.isEmpty())
        return QCoreApplication::translate("Halvora", "Testo");
    return primiCaratteri(titolo, 40);
}

QByteArray percorsoLocale(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    // The path's own bytes: toLocalFile() would turn bytes that are not
    // UTF-8 into U+FFFD and name a file that does not exist.
    QByteArray b = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    while (b.size() > 1 && b.endsWith('/'))
        b.chop(1);
    return b;
}

std::optional<QString> persistFileURL(const QUrl& sorgente, const QString& tray, Errore* errore)
{
    const QByteArray percorso = percorsoLocale(sorgente);
    if (percorso.isEmpty())
        return std::nullopt;
    // The copy's name must be text: bytes that are not UTF-8 become U+FFFD.
    const QString nome = nomeSicuro(QString::fromUtf8(percorso.mid(percorso.lastIndexOf('/') + 1)));
    if (nome.isEmpty())
        return std::nullopt;
    return copiaInNuovaCartella(percorso, nome, tray, errore);
}

std::optional<QString> persistRappresentazione(const QString& temporaneo, const QString& nomeSuggerito,
                                               const QString& tray, Errore* errore)
{
    const QFileInfo tmp(temporaneo);
    QString nome = nomeSicuro(nomeSuggerito);
    if (nome.isEmpty())
        nome = nomeSicuro(tmp.fileName());
    if (nome.isEmpty())
        return std::nullopt;
    if (QFileInfo(nome).suffix().isEmpty() && !tmp.suffix().isEmpty())
        nome += QLatin1Char('.') + tmp.suffix();
    return copiaInNuovaCartella(locale(temporaneo), nome, tray, errore);
}

std::optional<QString> persistWebLink(const QUrl& link, const QString& tray, Errore* errore)
{
    const auto u = webURL(link.toString(QUrl::FullyEncoded));
    if (!u)
        return std::nullopt;
    QString nome = u->host();
    nome.replace(QLatin1Char('/'), QLatin1Char('-'));
    nome = nomeSicuro(nome);
    if (nome.isEmpty())
        nome = QStringLiteral("link");
    return scriviNuovo(
        tray,
        [&](int i) {
            return i == 0 ? nome + QStringLiteral(".webloc")
                          : nome + QLatin1Char('-') + nuovoUuid().left(4) + QStringLiteral(".webloc");
        },
        contenutoWebloc(u->toString(QUrl::FullyEncoded)), errore);
}

std::optional<QString> persistImage(const QImage& immagine, const QString& tray, Errore* errore)
{
    if (immagine.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!immagine.save(&buffer, "PNG"))
        return std::nullopt;
    return scriviNuovo(tray, [](int) { return nuovoUuid() + QStringLiteral("_image.png"); }, png, errore);
}

std::optional<QString> persistTesto(const QString& testo, const QString& tray, Errore* errore)
{
    const QString rifilato = testo.trimmed();
    if (rifilato.isEmpty())
        return std::nullopt;
    const QString nome = nomeSicuro(nomeTesto(rifilato) + QStringLiteral(".txt"));
    return inNuovaCartella(tray, nome, errore, [&](const QByteArray& destinazione, Guasto& g) {
        Errore e;
        if (scriviNuovo(QFileInfo(QFile::decodeName(destinazione)).path(), [&](int) { return nome; }, rifilato.toUtf8(),
                        &e, 1))
            return true;
        return g.segna(e.codice);
    });
}

} // namespace PersistenzaVassoio
