#pragma once

#include "AttivitaNotch.h"
#include "FornitoreIA.h"

#include <QList>
#include <QUrl>
#include <QUrlQuery>
#include <functional>
#include <optional>

class AttivitaManager;

// The halvora:// URL scheme: agent events (host "agente") and plain
// notices (host "attivita"). Every malformed or filtered URL is ignored.
namespace SchemaURL {

struct EventoAgente {
    enum class Tipo { finito, attesa };
    FornitoreIA fornitore;
    Tipo evento;
    std::optional<QString> progetto;
};

// A notice ready for the queue, with how long it stays.
struct Avviso {
    AttivitaNotch attivita;
    double durata;
};

// What the URL handlers need of the running desktop.
struct Contesto {
    // Id of the front application; empty when none or without id.
    std::function<QString()> applicazioneFrontale;
    // Icon of an installed application by id.
    std::function<std::optional<QImage>(const QString&)> iconaApp;
};

// Longest URL looked at; anything longer is refused unread.
inline constexpr int kLunghezzaMassimaURL = 16 * 1024;

std::optional<QString> valoreParametro(const QString& nome, const QUrlQuery& query);
std::optional<QString> testoPulito(const std::optional<QString>& testo, int massimo);
// The first `massimo` user-perceived characters.
QString primiCaratteri(const QString& testo, int massimo);
std::optional<QString> decodificaProgetto(const QString& base64);

std::optional<EventoAgente> eventoAgenteDaURL(const QUrl& url, const Contesto& contesto);
std::optional<Avviso> avvisoEventoAgente(const EventoAgente& evento, const Contesto& contesto);
std::optional<Avviso> avvisoDaURL(const QUrl& url);

// Routes each URL by its host and hands the resulting notices to the queue.
void instradaURL(const QList<QUrl>& urls, AttivitaManager& attivita, const Contesto& contesto);
// Parses URL texts as received (strictly: a bad percent escape refuses the URL).
QList<QUrl> urlDaTesti(const QStringList& testi);

} // namespace SchemaURL
