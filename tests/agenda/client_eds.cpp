// Another program on the desktop's calendar store, for the agenda's tests:
// it writes and reads items straight through libecal, as a calendar
// application would.
//   client_eds scrivi <source uid> <file.ics>   creates the file's events and to-dos
//   client_eds leggi <source uid> <item uid>     prints the item as iCalendar
#include <libecal/libecal.h>

#include <cstdio>
#include <cstring>

namespace {

int fallisci(const char* cosa, GError* e)
{
    std::fprintf(stderr, "%s: %s\n", cosa, e ? e->message : "?");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return fallisci("uso: client_eds scrivi|leggi <sorgente> <file|uid>", nullptr);
    GError* e = nullptr;
    ESourceRegistry* registro = e_source_registry_new_sync(nullptr, &e);
    if (!registro)
        return fallisci("registro", e);
    ESource* sorgente = e_source_registry_ref_source(registro, argv[2]);
    if (!sorgente)
        return fallisci("sorgente sconosciuta", nullptr);
    const bool compiti = e_source_has_extension(sorgente, E_SOURCE_EXTENSION_TASK_LIST);
    EClient* client = e_cal_client_connect_sync(
        sorgente, compiti ? E_CAL_CLIENT_SOURCE_TYPE_TASKS : E_CAL_CLIENT_SOURCE_TYPE_EVENTS, guint32(-1), nullptr, &e);
    if (!client)
        return fallisci("connessione", e);
    ECalClient* cal = E_CAL_CLIENT(client);

    if (std::strcmp(argv[1], "leggi") == 0) {
        ICalComponent* voce = nullptr;
        if (!e_cal_client_get_object_sync(cal, argv[3], nullptr, &voce, nullptr, &e))
            return fallisci("lettura", e);
        gchar* testo = i_cal_component_as_ical_string(voce);
        std::fputs(testo, stdout);
        g_free(testo);
        g_object_unref(voce);
        return 0;
    }

    gchar* contenuto = nullptr;
    if (!g_file_get_contents(argv[3], &contenuto, nullptr, &e))
        return fallisci("file", e);
    ICalComponent* radice = i_cal_component_new_from_string(contenuto);
    if (!radice)
        return fallisci("iCalendar non valido", nullptr);
    for (ICalComponent* z = i_cal_component_get_first_component(radice, I_CAL_VTIMEZONE_COMPONENT); z;
         z = i_cal_component_get_next_component(radice, I_CAL_VTIMEZONE_COMPONENT)) {
        ICalTimezone* zona = i_cal_timezone_new();
        i_cal_timezone_set_component(zona, i_cal_component_clone(z));
        if (!e_cal_client_add_timezone_sync(cal, zona, nullptr, &e))
            return fallisci("fuso", e);
    }
    for (ICalComponent* v = i_cal_component_get_first_component(radice, I_CAL_ANY_COMPONENT); v;
         v = i_cal_component_get_next_component(radice, I_CAL_ANY_COMPONENT)) {
        const ICalComponentKind tipo = i_cal_component_isa(v);
        if (tipo != I_CAL_VEVENT_COMPONENT && tipo != I_CAL_VTODO_COMPONENT)
            continue;
        // An item that is there already is replaced, as an edit would.
        if (!e_cal_client_create_object_sync(cal, v, E_CAL_OPERATION_FLAG_NONE, nullptr, nullptr, &e)) {
            g_clear_error(&e);
            if (!e_cal_client_modify_object_sync(cal, v, E_CAL_OBJ_MOD_ALL, E_CAL_OPERATION_FLAG_NONE, nullptr, &e))
                return fallisci("scrittura", e);
        }
    }
    return 0;
}
