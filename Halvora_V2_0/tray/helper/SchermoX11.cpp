#include "SchermoX11.h"

#include <QByteArray>
#include <cstdlib>
#include <memory>
#include <xcb/composite.h>
#include <xcb/xcb.h>

namespace {

template <class T>
using Risposta = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
Risposta<T> risposta(T* r)
{
    return Risposta<T>(r, &std::free);
}

// The position of the lowest set bit and the width of a channel mask.
int spostamento(uint32_t maschera)
{
    int s = 0;
    while (maschera && !(maschera & 1)) {
        maschera >>= 1;
        ++s;
    }
    return s;
}

int ampiezza(uint32_t maschera)
{
    int n = 0;
    for (; maschera; maschera >>= 1)
        n += maschera & 1;
    return n;
}

// One channel scaled to 0..255.
int canale(uint32_t pixel, uint32_t maschera)
{
    const int n = ampiezza(maschera);
    if (n == 0)
        return 0;
    const uint32_t v = (pixel & maschera) >> spostamento(maschera);
    return n >= 8 ? int(v >> (n - 8)) : int(v * 255 / ((1u << n) - 1));
}

} // namespace

SchermoX11::SchermoX11()
{
    int numero = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &numero);
    if (!c || xcb_connection_has_error(c)) {
        if (c)
            xcb_disconnect(c);
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < numero && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(c);
        return;
    }
    conn_ = c;
    root_ = it.data->root;
    profondita_ = it.data->root_depth;
    visuale_ = it.data->root_visual;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(conn_, &xcb_composite_id);
    if (ext && ext->present) {
        auto v = risposta(xcb_composite_query_version_reply(conn_, xcb_composite_query_version(conn_, 0, 2), nullptr));
        composite_ = v && (v->major_version > 0 || v->minor_version >= 2);
    }
}

SchermoX11::~SchermoX11()
{
    if (conn_)
        xcb_disconnect(conn_);
}

QRect SchermoX11::radice() const
{
    if (!conn_)
        return {};
    auto g = risposta(xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, root_), nullptr));
    return g ? QRect(0, 0, g->width, g->height) : QRect();
}

QImage SchermoX11::cattura(const QRect& area) const
{
    const QRect a = area.intersected(radice());
    if (!conn_ || a.isEmpty())
        return {};
    return leggi(root_, a, profondita_, visuale_);
}

QImage SchermoX11::catturaFinestra(uint32_t cornice) const
{
    if (!conn_ || !composite_ || !cornice)
        return {};
    auto attr = risposta(xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, cornice), nullptr));
    auto g = risposta(xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, cornice), nullptr));
    if (!attr || !g || attr->map_state != XCB_MAP_STATE_VIEWABLE)
        return {};
    // Refused (a match error) when no compositor redirects the window.
    const xcb_pixmap_t pixmap = xcb_generate_id(conn_);
    if (auto* errore = xcb_request_check(conn_, xcb_composite_name_window_pixmap_checked(conn_, cornice, pixmap))) {
        std::free(errore);
        return {};
    }
    // The pixmap holds the border too.
    const QRect tutta(0, 0, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
    QImage img = leggi(pixmap, tutta, g->depth, attr->visual);
    xcb_free_pixmap(conn_, pixmap);
    return img;
}

QImage SchermoX11::leggi(uint32_t disegnabile, const QRect& a, uint8_t profondita, uint32_t idVisuale) const
{
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    int bpp = 0, riempimento = 0;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == profondita) {
            bpp = f.data->bits_per_pixel;
            riempimento = f.data->scanline_pad;
        }
    const xcb_visualtype_t* visuale = nullptr;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem && !visuale; xcb_screen_next(&s))
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem && !visuale; xcb_depth_next(&d))
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                if (v.data->visual_id == idVisuale) {
                    visuale = v.data;
                    break;
                }
    // True-colour visuals of 16, 24 or 32 bits per pixel: what servers offer today.
    if (!visuale || visuale->_class != XCB_VISUAL_CLASS_TRUE_COLOR || (bpp != 16 && bpp != 24 && bpp != 32)
        || riempimento <= 0)
        return {};

    auto r = risposta(xcb_get_image_reply(
        conn_, xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, disegnabile, int16_t(a.x()), int16_t(a.y()),
                             uint16_t(a.width()), uint16_t(a.height()), ~0u),
        nullptr));
    if (!r)
        return {};
    const int riga = ((a.width() * bpp + riempimento - 1) / riempimento) * riempimento / 8;
    const uint8_t* dati = xcb_get_image_data(r.get());
    if (xcb_get_image_data_length(r.get()) < riga * a.height())
        return {};
    const bool lsb = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    const int byte = bpp / 8;
    const uint32_t rm = visuale->red_mask, gm = visuale->green_mask, bm = visuale->blue_mask;
    const bool diretto = bpp == 32 && lsb && rm == 0xff0000 && gm == 0xff00 && bm == 0xff;
    // A 32-bit window keeps premultiplied alpha in the bits the colours leave.
    const bool alfa = diretto && profondita == 32;

    QImage img(a.size(), alfa ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y) {
        const uint8_t* sorgente = dati + y * riga;
        auto* dest = reinterpret_cast<uint32_t*>(img.scanLine(y));
        for (int x = 0; x < a.width(); ++x, sorgente += byte) {
            uint32_t p = 0;
            for (int b = 0; b < byte; ++b)
                p |= uint32_t(sorgente[b]) << (lsb ? 8 * b : 8 * (byte - 1 - b));
            dest[x] = alfa ? p : diretto ? (p | 0xff000000u) : qRgb(canale(p, rm), canale(p, gm), canale(p, bm));
        }
    }
    return img;
}

uint32_t SchermoX11::atomo(const char* nome) const
{
    auto r = risposta(xcb_intern_atom_reply(conn_, xcb_intern_atom(conn_, 1, uint16_t(qstrlen(nome)), nome), nullptr));
    return r ? r->atom : 0;
}

QList<uint32_t> SchermoX11::proprieta(uint32_t finestra, uint32_t nome, uint32_t tipo) const
{
    QList<uint32_t> valori;
    if (!nome)
        return valori;
    auto r = risposta(
        xcb_get_property_reply(conn_, xcb_get_property(conn_, 0, finestra, nome, tipo, 0, 16384), nullptr));
    if (!r || r->format != 32 || r->type != tipo)
        return valori;
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    const int n = xcb_get_property_value_length(r.get()) / 4;
    for (int i = 0; i < n; ++i)
        valori << v[i];
    return valori;
}

uint32_t SchermoX11::cornice(uint32_t finestra) const
{
    // Bounded: a broken tree must not keep us here.
    for (int passi = 0; passi < 64; ++passi) {
        auto t = risposta(xcb_query_tree_reply(conn_, xcb_query_tree(conn_, finestra), nullptr));
        if (!t)
            return 0;
        if (t->parent == root_ || t->parent == 0)
            return finestra;
        finestra = t->parent;
    }
    return 0;
}

QList<SchermoX11::Cornice> SchermoX11::finestre(qint64 pidEscluso) const
{
    QList<Cornice> cornici;
    if (!conn_)
        return cornici;
    const uint32_t tipo = atomo("_NET_WM_WINDOW_TYPE"), desktop = atomo("_NET_WM_WINDOW_TYPE_DESKTOP"),
                   dock = atomo("_NET_WM_WINDOW_TYPE_DOCK"), stato = atomo("_NET_WM_STATE"),
                   nascosta = atomo("_NET_WM_STATE_HIDDEN"), pid = atomo("_NET_WM_PID");
    // Bottom to top, as the window manager stacks its clients.
    QList<uint32_t> pila = proprieta(root_, atomo("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
    const bool gestite = !pila.isEmpty();
    if (!gestite) {
        // No window manager: the root's children are the windows, in stacking order.
        auto t = risposta(xcb_query_tree_reply(conn_, xcb_query_tree(conn_, root_), nullptr));
        if (t) {
            const xcb_window_t* figli = xcb_query_tree_children(t.get());
            pila = QList<uint32_t>(figli, figli + xcb_query_tree_children_length(t.get()));
        }
    }
    const QRect r = radice();
    for (auto it = pila.crbegin(); it != pila.crend(); ++it) {
        const uint32_t w = *it;
        const QList<uint32_t> tipi = proprieta(w, tipo, XCB_ATOM_ATOM);
        if (tipi.contains(desktop) || tipi.contains(dock) || proprieta(w, stato, XCB_ATOM_ATOM).contains(nascosta))
            continue;
        const QList<uint32_t> p = proprieta(w, pid, XCB_ATOM_CARDINAL);
        if (pidEscluso > 0 && !p.isEmpty() && qint64(p.first()) == pidEscluso)
            continue;
        const uint32_t f = gestite ? cornice(w) : w;
        if (!f)
            continue;
        auto attr = risposta(
            xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, f), nullptr));
        if (!attr || attr->map_state != XCB_MAP_STATE_VIEWABLE || attr->_class == XCB_WINDOW_CLASS_INPUT_ONLY
            || (!gestite && attr->override_redirect))
            continue;
        auto g = risposta(xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, f), nullptr));
        if (!g)
            continue;
        const QRect fuori = QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width)
                                .intersected(r);
        if (!fuori.isEmpty())
            cornici << Cornice{f, fuori};
    }
    return cornici;
}
