// GIO's headers first: GLib names a struct field `signals`, which Qt's
// headers would turn into a keyword.
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include "TastoGnome.h"

#include <QRegularExpression>
#include <algorithm>
#include <memory>

namespace {

const char* const kMediaKeys = "org.gnome.settings-daemon.plugins.media-keys";
const char* const kVoce = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
const char* const kLista = "custom-keybindings";
const char* const kAcceleratore = "<Control><Alt>n";

// The schemas where GNOME keeps its own shortcuts.
const char* const kSchemiTasti[] = {"org.gnome.desktop.wm.keybindings", "org.gnome.shell.keybindings",
                                    "org.gnome.mutter.keybindings", "org.gnome.mutter.wayland.keybindings",
                                    "org.gnome.settings-daemon.plugins.media-keys"};

struct Sgancia {
    void operator()(GSettings* g) const { g_object_unref(g); }
    void operator()(GSettingsSchema* s) const { g_settings_schema_unref(s); }
};
using Impostazioni = std::unique_ptr<GSettings, Sgancia>;
using Schema = std::unique_ptr<GSettingsSchema, Sgancia>;

Schema schema(const char* id)
{
    GSettingsSchemaSource* fonte = g_settings_schema_source_get_default();
    return Schema(fonte ? g_settings_schema_source_lookup(fonte, id, TRUE) : nullptr);
}

// The settings of schema `id` (at `percorso` for a relocatable one); none
// when GNOME's schema is not installed.
Impostazioni apri(const char* id, const QString& percorso = {})
{
    const Schema s = schema(id);
    if (!s)
        return {};
    return Impostazioni(
        g_settings_new_full(s.get(), nullptr, percorso.isEmpty() ? nullptr : percorso.toUtf8().constData()));
}

// Whether settings written here last: GIO falls back to a memory that
// forgets them where the desktop's own store (dconf) is missing.
bool conservate()
{
    GSettingsBackend* b = g_settings_backend_get_default();
    const char* tipo = G_OBJECT_TYPE_NAME(b);
    const bool dimentica = g_str_equal(tipo, "GMemorySettingsBackend") || g_str_equal(tipo, "GNullSettingsBackend");
    g_object_unref(b);
    return !dimentica;
}

// The strings of a key holding one string or a list of them.
QStringList stringhe(GSettings* g, const char* chiave)
{
    QStringList r;
    GVariant* v = g_settings_get_value(g, chiave);
    if (g_variant_is_of_type(v, G_VARIANT_TYPE_STRING)) {
        r << QString::fromUtf8(g_variant_get_string(v, nullptr));
    } else if (g_variant_is_of_type(v, G_VARIANT_TYPE_STRING_ARRAY)) {
        gsize n = 0;
        const gchar** a = g_variant_get_strv(v, &n);
        for (gsize i = 0; i < n; ++i)
            r << QString::fromUtf8(a[i]);
        g_free(a);
    }
    g_variant_unref(v);
    return r;
}

// Every accelerator that the keys of schema `id` hold.
QStringList acceleratori(const char* id)
{
    const Schema s = schema(id);
    if (!s)
        return {};
    const Impostazioni g(g_settings_new_full(s.get(), nullptr, nullptr));
    QStringList r;
    gchar** chiavi = g_settings_schema_list_keys(s.get());
    for (gchar** k = chiavi; *k; ++k)
        r += stringhe(g.get(), *k);
    g_strfreev(chiavi);
    return r;
}

bool scriviLista(GSettings* lista, const QStringList& percorsi)
{
    std::vector<QByteArray> utf8;
    std::vector<const gchar*> v;
    for (const QString& p : percorsi)
        v.push_back(utf8.emplace_back(p.toUtf8()).constData());
    v.push_back(nullptr);
    return g_settings_set_strv(lista, kLista, v.data());
}

// A command line as GNOME splits it (shell quoting, no shell).
QString rigaComando(const QStringList& comando)
{
    QStringList parti;
    for (QString p : comando)
        parti << QLatin1Char('\'') + p.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
    return parti.join(QLatin1Char(' '));
}

// The modifiers (in one spelling, sorted) and the key of an accelerator.
std::pair<QStringList, QString> parti(const QString& acceleratore)
{
    static const QRegularExpression mod(QStringLiteral("<([^>]+)>"));
    QStringList mods;
    for (auto it = mod.globalMatch(acceleratore); it.hasNext();) {
        const QString m = it.next().captured(1).toLower();
        if (m == QLatin1String("primary") || m == QLatin1String("control") || m == QLatin1String("ctrl"))
            mods << QStringLiteral("Ctrl");
        else if (m == QLatin1String("alt") || m == QLatin1String("mod1"))
            mods << QStringLiteral("Alt");
        else if (m == QLatin1String("super") || m == QLatin1String("mod4"))
            mods << QStringLiteral("Super");
        else
            mods << m.left(1).toUpper() + m.mid(1);
    }
    mods.sort();
    return {mods, QString(acceleratore).remove(mod).trimmed()};
}

} // namespace

TastoGnome::TastoGnome(QStringList comando, QObject* parent) : TastoComando(std::move(comando), parent) {}

bool TastoGnome::eNostra(const QString& acceleratore)
{
    const auto [mods, tasto] = parti(acceleratore);
    return mods == QStringList{"Alt", "Ctrl"} && tasto.compare(QLatin1String("n"), Qt::CaseInsensitive) == 0;
}

QString TastoGnome::descrivi(const QString& acceleratore)
{
    auto [mods, tasto] = parti(acceleratore);
    // In the order the desktop writes them.
    static const QStringList ordine = {"Ctrl", "Alt", "Shift", "Super"};
    std::sort(mods.begin(), mods.end(),
              [](const QString& a, const QString& b) { return ordine.indexOf(a) < ordine.indexOf(b); });
    return (mods + QStringList{tasto.left(1).toUpper() + tasto.mid(1)}).join(QLatin1Char('+'));
}

std::optional<QString> TastoGnome::prendi()
{
    const Impostazioni lista = apri(kMediaKeys);
    const Impostazioni nostra = apri(kVoce, kPercorso);
    if (!lista || !nostra || !conservate())
        return std::nullopt;
    QStringList percorsi = stringhe(lista.get(), kLista);
    QString legato = stringhe(nostra.get(), "binding").value(0);
    // Another combination the user set for ours in GNOME's settings is
    // kept as it is; ours is taken when anything else uses it.
    if (legato.isEmpty() || eNostra(legato)) {
        QStringList usati;
        for (const char* id : kSchemiTasti)
            usati += acceleratori(id);
        for (const QString& p : percorsi)
            if (p != kPercorso)
                if (const Impostazioni altra = apri(kVoce, p))
                    usati += stringhe(altra.get(), "binding");
        if (std::any_of(usati.cbegin(), usati.cend(), &TastoGnome::eNostra)) {
            // An entry of an earlier run that died would clash with it as well.
            lascia(false);
            return std::nullopt;
        }
        legato = QString::fromLatin1(kAcceleratore);
    }
    // The entry whole before the list names it, so the settings daemon reads
    // it complete; a key the desktop locks refuses the write.
    g_settings_delay(nostra.get());
    bool scritto = g_settings_set_string(nostra.get(), "name", "Halvora")
                   && g_settings_set_string(nostra.get(), "command", rigaComando(comando_).toUtf8().constData())
                   && g_settings_set_string(nostra.get(), "binding", legato.toUtf8().constData());
    g_settings_apply(nostra.get());
    if (scritto && !percorsi.contains(kPercorso))
        scritto = scriviLista(lista.get(), percorsi << kPercorso);
    g_settings_sync();
    if (!scritto) {
        lascia(false);
        return std::nullopt;
    }
    return descrivi(legato);
}

void TastoGnome::lascia(bool perSempre)
{
    const Impostazioni lista = apri(kMediaKeys);
    const Impostazioni nostra = apri(kVoce, kPercorso);
    if (!lista || !nostra || !conservate())
        return;
    QStringList percorsi = stringhe(lista.get(), kLista);
    if (percorsi.removeAll(kPercorso) > 0)
        scriviLista(lista.get(), percorsi);
    // Only a combination of the user's own is worth keeping out of the list.
    const QString legato = stringhe(nostra.get(), "binding").value(0);
    if (perSempre || legato.isEmpty() || eNostra(legato)) {
        for (const char* chiave : {"name", "command", "binding"})
            g_settings_reset(nostra.get(), chiave);
    }
    g_settings_sync();
}
