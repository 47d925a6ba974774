#include "LettoreClaudeDesktop.h"

#include "AnalisiVoceCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

LettoreClaudeDesktop::Configurazione LettoreClaudeDesktop::configurazionePredefinita()
{
    return {{cartellaCasaReale() + QStringLiteral("/Library/Application Support/Claude/Cache/Cache_Data"),
             cartellaConfigurazione() + QStringLiteral("/Claude/Cache/Cache_Data")},
            {QStringLiteral("claude.ai"), QStringLiteral("claude.com")}};
}

LettoreClaudeDesktop::LettoreClaudeDesktop(Orologio ora, Configurazione conf)
    : ora_(std::move(ora)), conf_(std::move(conf)), ultimaScansione_(passatoRemoto())
{
}

void LettoreClaudeDesktop::dimentica()
{
    vociNote_.clear();
    ultimaScansione_ = passatoRemoto();
    ultimaModificaLetta_.reset();
}

std::optional<LetturaUsoIA> LettoreClaudeDesktop::leggiUso()
{
    const QDateTime adesso = ora_();
    auto presenti = dateDiModifica(vociNote_);
    const double eta = ultimaScansione_.msecsTo(adesso) / 1000.0;
    const bool scansione = vociNote_.isEmpty()
                               ? eta > kRiscansioneVuota
                               : (presenti.size() < static_cast<size_t>(vociNote_.size()) || eta > kRiscansione);
    if (scansione) {
        vociNote_ = vociRecenti();
        ultimaScansione_ = adesso;
        ultimaModificaLetta_.reset();
        presenti = dateDiModifica(vociNote_);
    }
    if (presenti.empty())
        return std::nullopt;
    // The newest; among equal times the first in the list.
    auto scelta = presenti.front();
    for (const auto& p : presenti)
        if (p.second > scelta.second)
            scelta = p;
    if (ultimaModificaLetta_ == scelta.second)
        return std::nullopt;
    auto lettura = leggiVoceCache(scelta.first, scelta.second);
    if (lettura)
        ultimaModificaLetta_ = scelta.second;
    return lettura;
}

QStringList LettoreClaudeDesktop::vociRecenti()
{
    apertiScansione_ = 0;
    QFileInfoList voci;
    for (const QString& c : conf_.cartelle) {
        QDir cartella(c);
        if (!cartella.exists() || !cartella.isReadable())
            continue;
        voci = cartella.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::NoSort);
        break;
    }
    voci.removeIf([](const QFileInfo& f) {
        return !f.fileName().endsWith(QLatin1String("_0")) || !f.isFile() || f.size() < VoceCache::kVoceMinima
               || f.size() > VoceCache::kVoceMassima || !f.lastModified().isValid();
    });
    std::stable_sort(voci.begin(), voci.end(),
                     [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() > b.lastModified(); });
    QStringList risultato;
    const qsizetype n = std::min<qsizetype>(voci.size(), kVociEsaminate);
    for (qsizetype i = 0; i < n; ++i) {
        QFile f(voci[i].filePath());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        ++apertiScansione_;
        const QByteArray testa = f.read(VoceCache::kLetturaChiave);
        if (testa.isEmpty())
            continue;
        const auto chiave = VoceCache::chiaveVoce(testa);
        if (chiave && VoceCache::filtraURLUso(*chiave, conf_.domini))
            risultato.append(voci[i].filePath());
    }
    return risultato;
}

std::optional<LetturaUsoIA> LettoreClaudeDesktop::leggiVoceCache(const QString& file, const QDateTime& modifica)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    ++vociLette_;
    const QByteArray byte = f.read(VoceCache::kVoceMassima);
    if (byte.isEmpty())
        return std::nullopt;
    return VoceCache::analizzaVoce(byte, modifica, conf_.domini);
}
