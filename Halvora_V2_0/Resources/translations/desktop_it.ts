<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
<!-- Italian keys that name what only macOS has (its tools, folders and
     settings, the Mac, its key symbols) or say what is not so on this
     desktop, said as this desktop has it, and keys that write an accent as
     an apostrophe, said with the accented letter; the English and Spanish
     tables say the same. -->
<context>
    <name>Halvora</name>
    <message>
        <source>TE LA MOSTRO NEL FINDER</source>
        <translation>TE LA MOSTRO NEL GESTORE DEI FILE</translation>
    </message>
    <message>
        <source>Invia con AirDrop</source>
        <translation>Invia con KDE Connect</translation>
    </message>
    <message>
        <source>Invia i %1 elementi selezionati con AirDrop</source>
        <translation>Invia i %1 elementi selezionati con KDE Connect</translation>
    </message>
    <message>
        <source>Invia tutto il vassoio con AirDrop</source>
        <translation>Invia tutto il vassoio con KDE Connect</translation>
    </message>
    <message>
        <source>Segue la lingua del Mac: </source>
        <translation>Segue la lingua del sistema: </translation>
    </message>
    <message>
        <source>Apri la notch con ⌃⌥N</source>
        <translation>Apri la notch con Ctrl+Alt+N</translation>
    </message>
    <message>
        <source>Control-Option-N apre e chiude la notch da qualunque app. Si chiude anche con un clic fuori.</source>
        <translation>Ctrl+Alt+N apre e chiude la notch da qualunque app. Si chiude anche con un clic fuori.</translation>
    </message>
    <message>
        <source>Un'altra app usa già ⌃⌥N: finché la tiene lei, qui non funziona.</source>
        <translation>Un'altra app usa già Ctrl+Alt+N: finché la tiene lei, qui non funziona.</translation>
    </message>
    <message>
        <source>Trascrizione solo sul Mac</source>
        <translation>Trascrizione solo su questo computer</translation>
    </message>
    <message>
        <source>L'audio non lascia il computer, ma il riconoscimento offline sbaglia molto di piu'. Da spento, la trascrizione passa dai server di Apple come la dettatura di sistema.</source>
        <translation>L'audio non lascia mai il computer: il riconoscimento avviene sempre qui, anche da spento, e offline sbaglia più spesso di un servizio in rete.</translation>
    </message>
    <message>
        <source>A riposo resta solo una linguetta sul bordo dello schermo, che si apre avvicinando il puntatore. Riduce le aperture involontarie e, sui Mac senza tacca fisica, libera la barra dei menu.</source>
        <translation>A riposo resta solo una linguetta sul bordo dello schermo, che si apre avvicinando il puntatore. Riduce le aperture involontarie e lascia libero il pannello in cima allo schermo.</translation>
    </message>
    <message>
        <source>Segnala i file appena comparsi in Scaricati, compresi quelli ricevuti via AirDrop.</source>
        <translation>Segnala i file appena comparsi in Scaricati, compresi quelli ricevuti con KDE Connect.</translation>
    </message>
    <message>
        <source>Controlla Spotify, Apple Music e i video nel browser. Con «Guarda nella tacca» un video di YouTube continua qui mentre lavori.</source>
        <translation>Controlla Spotify e gli altri player del desktop, e i video nel browser. Con «Guarda nella tacca» un video di YouTube continua qui mentre lavori.</translation>
    </message>
    <message>
        <source>Nessun elenco predefinito nell'app Promemoria.</source>
        <translation>Nessun elenco predefinito per i promemoria.</translation>
    </message>
    <message>
        <source>Accesso ai Promemoria non concesso.</source>
        <translation>Accesso ai promemoria non concesso.</translation>
    </message>
    <message>
        <source>Accesso negato. Abilita la fotocamera in Impostazioni di Sistema.</source>
        <translation>Accesso negato: il sistema non concede la fotocamera a questo utente.</translation>
    </message>
    <message>
        <source>Accesso al microfono negato. Abilitalo in Impostazioni di Sistema.</source>
        <translation>Accesso al microfono negato: il sistema non lo concede a questo utente.</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non autorizzato. Abilitalo in Impostazioni di Sistema.</source>
        <translation>Riconoscimento vocale non autorizzato.</translation>
    </message>
    <message>
        <source>Serve il permesso di leggere le schede di %1: Impostazioni di Sistema › Privacy e sicurezza › Automazione.</source>
        <translation>Serve il permesso di leggere le schede di %1.</translation>
    </message>
    <message>
        <source>La cronologia non registra i contenuti che il sistema marca come riservati, ne' nulla di copiato mentre in primo piano c'e' una di queste app. Ogni copia viene inoltre confermata con una seconda lettura, perche' durante una scrittura il pasteboard puo' mostrarsi privo di marcatori.</source>
        <translation>La cronologia non registra i contenuti che le app segnano come riservati, né nulla di copiato mentre in primo piano c'è un gestore di password o una delle app qui sotto. Ogni copia viene inoltre confermata con una seconda lettura, perché durante una scrittura gli appunti possono mostrarsi privi di marcatori.</translation>
    </message>
    <message>
        <source>Installami in Applicazioni</source>
        <translation>Installami in ~/Applications</translation>
    </message>
    <message>
        <source>Fatto: sono in Applicazioni</source>
        <translation>Fatto: sono in ~/Applications</translation>
    </message>
    <message>
        <source>APRIMI DA LI' PER FINIRE</source>
        <translation>APRIMI DA LÌ PER FINIRE</translation>
    </message>
    <message>
        <source>Copiami in Applicazioni e riavviami da li'</source>
        <translation>Copiami in ~/Applications e riavviami da lì</translation>
    </message>
    <message>
        <source>Apri la copia installata in Applicazioni</source>
        <translation>Apri la copia installata in ~/Applications</translation>
    </message>
    <message>
        <source>Disponibile solo con l'app nella cartella Applicazioni.</source>
        <translation>Disponibile solo con l'app nella cartella ~/Applications.</translation>
    </message>
    <message>
        <source>Non si è aperta: avviala da Applicazioni.</source>
        <translation>Non si è aperta: avviala da ~/Applications.</translation>
    </message>
    <message>
        <source>ChatGPT esegue gli hook solo dopo che li hai approvati: apri Codex nel Terminale e scrivi /hooks.</source>
        <translation>ChatGPT esegue gli hook solo dopo che li hai approvati: apri Codex in un terminale e scrivi /hooks.</translation>
    </message>
</context>
</TS>
