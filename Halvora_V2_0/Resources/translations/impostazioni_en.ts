<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>A riposo resta solo una linguetta sul bordo dello schermo, che si apre avvicinando il puntatore. Riduce le aperture involontarie e, sui Mac senza tacca fisica, libera la barra dei menu.</source>
        <translation>At rest only a small tab stays at the edge of the screen, opening as the pointer comes near. It reduces accidental openings and keeps the panel at the top of the screen clear.</translation>
    </message>
    <message>
        <source>Aggiungi un'app…</source>
        <translation>Add an app…</translation>
    </message>
    <message>
        <source>Annuncia i file scaricati</source>
        <translation>Announce downloaded files</translation>
    </message>
    <message>
        <source>Apri la notch con ⌃⌥N</source>
        <translation>Open the notch with Ctrl+Alt+N</translation>
    </message>
    <message>
        <source>Aspetto</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>Avvia al login</source>
        <translation>Open at login</translation>
    </message>
    <message>
        <source>Avvisi di Claude e ChatGPT</source>
        <translation>Claude and ChatGPT notices</translation>
    </message>
    <message>
        <source>Cambiando lingua l'app si riapre da sola.</source>
        <translation>Changing the language reopens the app by itself.</translation>
    </message>
    <message>
        <source>Cerca aggiornamenti</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>ChatGPT esegue gli hook solo dopo che li hai approvati: apri Codex nel Terminale e scrivi /hooks.</source>
        <translation>ChatGPT runs the hooks only after you have approved them: open Codex in a terminal and type /hooks.</translation>
    </message>
    <message>
        <source>Compare nel quarto d'ora prima di un appuntamento del calendario.</source>
        <translation>Appears in the quarter of an hour before a calendar appointment.</translation>
    </message>
    <message>
        <source>Control-Option-N apre e chiude la notch da qualunque app. Si chiude anche con un clic fuori.</source>
        <translation>Ctrl+Alt+N opens and closes the notch from any app. A click outside closes it too.</translation>
    </message>
    <message>
        <source>Disponibile la </source>
        <translation>Available: version </translation>
    </message>
    <message>
        <source>Disponibile solo con l'app nella cartella Applicazioni.</source>
        <translation>Available only with the app in the ~/Applications folder.</translation>
    </message>
    <message>
        <source>Esci da Orbelle</source>
        <translation>Quit Orbelle</translation>
    </message>
    <message>
        <source>Escludi</source>
        <translation>Exclude</translation>
    </message>
    <message>
        <source>Generale</source>
        <translation>General</translation>
    </message>
    <message>
        <source>IMPOSTAZIONI</source>
        <translation>SETTINGS</translation>
    </message>
    <message>
        <source>Il conto alla rovescia resta visibile anche a notch chiusa.</source>
        <translation>The countdown stays visible even with the notch closed.</translation>
    </message>
    <message>
        <source>Il riquadro con copertina e onde che compare durante la riproduzione.</source>
        <translation>The box with artwork and waves that appears during playback.</translation>
    </message>
    <message>
        <source>L'audio non lascia il computer, ma il riconoscimento offline sbaglia molto di piu'. Da spento, la trascrizione passa dai server di Apple come la dettatura di sistema.</source>
        <translation>The audio never leaves the computer: recognition always runs here, even when this is off, and offline it makes more mistakes than an online service.</translation>
    </message>
    <message>
        <source>La cronologia non registra i contenuti che il sistema marca come riservati, ne' nulla di copiato mentre in primo piano c'e' una di queste app. Ogni copia viene inoltre confermata con una seconda lettura, perche' durante una scrittura il pasteboard puo' mostrarsi privo di marcatori.</source>
        <translation>The history does not record content that apps mark as confidential, nor anything copied while a password manager or one of the apps below is in front. Each copy is also confirmed with a second read, because during a write the clipboard may show up without its markers.</translation>
    </message>
    <message>
        <source>Lingua</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Lingua: </source>
        <translation>Language: </translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Privacy</translation>
    </message>
    <message>
        <source>Privacy degli appunti</source>
        <translation>Clipboard privacy</translation>
    </message>
    <message>
        <source>Prossimo impegno sotto la notch</source>
        <translation>Next event under the notch</translation>
    </message>
    <message>
        <source>Quando Claude o ChatGPT finiscono un lavoro, o ti chiedono un permesso, mentre sei in un'altra app, compare nella notch.</source>
        <translation>When Claude or ChatGPT finish a job, or ask you for a permission, while you are in another app, it shows in the notch.</translation>
    </message>
    <message>
        <source>Riapertura in corso…</source>
        <translation>Reopening…</translation>
    </message>
    <message>
        <source>Rivedi la guida</source>
        <translation>Review the guide</translation>
    </message>
    <message>
        <source>Scegli un'app da cui non registrare mai gli appunti.</source>
        <translation>Choose an app whose clipboard copies are never recorded.</translation>
    </message>
    <message>
        <source>Scheda musicale sotto la notch</source>
        <translation>Music card under the notch</translation>
    </message>
    <message>
        <source>Segnala i file appena comparsi in Scaricati, compresi quelli ricevuti via AirDrop.</source>
        <translation>Points out files that just appeared in Downloads, including those received with KDE Connect.</translation>
    </message>
    <message>
        <source>Segue la lingua del Mac: </source>
        <translation>Follows the system's language: </translation>
    </message>
    <message>
        <source>Tacca discreta</source>
        <translation>Discreet notch</translation>
    </message>
    <message>
        <source>Timer sotto la notch</source>
        <translation>Timer under the notch</translation>
    </message>
    <message>
        <source>Torna Indietro</source>
        <translation>Go Back</translation>
    </message>
    <message>
        <source>Trascrizione solo sul Mac</source>
        <translation>Transcription on this computer only</translation>
    </message>
    <message>
        <source>Un anello nella notch aperta mostra quanto hai usato di Claude o di ChatGPT, a seconda dell'app che stai usando, e mentre la usi compare anche una scheda sotto la notch chiusa. Oltre i tre quarti diventano arancioni. I dati vengono dalle app Claude e ChatGPT, se installate: niente password, niente accesso all'account.</source>
        <translation>A ring in the open notch shows how much of Claude or ChatGPT you have used, depending on the app you are using, and while you use it a card also appears under the closed notch. Past three quarters they turn orange. The data comes from the Claude and ChatGPT apps, if installed: no passwords, no account access.</translation>
    </message>
    <message>
        <source>Un'altra app usa già ⌃⌥N: finché la tiene lei, qui non funziona.</source>
        <translation>Another app already uses Ctrl+Alt+N: as long as it holds it, it doesn't work here.</translation>
    </message>
    <message>
        <source>Uso dell'IA</source>
        <translation>AI usage</translation>
    </message>
    <message>
        <source>Versione </source>
        <translation>Version </translation>
    </message>
    <message>
        <source>non disponibile</source>
        <translation>not available</translation>
    </message>
</context>
</TS>
