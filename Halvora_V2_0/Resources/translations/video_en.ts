<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>VideoNotchManager</name>
    <message>
        <source>Questo video non esiste più o è privato.</source>
        <translation>This video no longer exists or is private.</translation>
    </message>
    <message>
        <source>Chi l'ha pubblicato non permette di guardarlo fuori da YouTube.</source>
        <translation>Whoever published it does not allow watching it outside YouTube.</translation>
    </message>
    <message>
        <source>Questo video non si apre qui.</source>
        <translation>This video can't be opened here.</translation>
    </message>
    <message>
        <source>Senza il permesso non posso leggere le schede di %1.</source>
        <translation>Without permission I can't read the tabs of %1.</translation>
    </message>
    <message>
        <source>Serve il permesso di leggere le schede di %1: Impostazioni di Sistema › Privacy e sicurezza › Automazione.</source>
        <translation>Permission to read the tabs of %1 is needed.</translation>
    </message>
    <message>
        <source>Nella tacca si possono guardare solo i video di YouTube: adesso sta suonando %1.</source>
        <translation>Only YouTube videos can be watched in the notch: %1 is playing now.</translation>
    </message>
    <message>
        <source>Nessuna scheda di YouTube aperta in %1.</source>
        <translation>No YouTube tab is open in %1.</translation>
    </message>
</context>
<context>
    <name>PropostaVideoCardView</name>
    <message>
        <source>Guarda nella tacca</source>
        <translation>Watch in the notch</translation>
    </message>
    <message>
        <source>Continua a guardare questo video sotto la tacca</source>
        <translation>Keep watching this video under the notch</translation>
    </message>
    <message>
        <source>Non ora</source>
        <translation>Not now</translation>
    </message>
</context>
<context>
    <name>VideoNotchCardView</name>
    <message>
        <source>Apro il video…</source>
        <translation>Opening the video…</translation>
    </message>
    <message>
        <source>Consenti l'accesso a %1 nella finestra di sistema</source>
        <translation>Allow access to %1 in the system window</translation>
    </message>
    <message>
        <source>Metti in pausa %1 per sentirlo qui</source>
        <translation>Pause %1 to hear it here</translation>
    </message>
    <message>
        <source>Riproduci</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Pausa</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Torna al browser</source>
        <translation>Back to the browser</translation>
    </message>
    <message>
        <source>Chiudi</source>
        <translation>Close</translation>
    </message>
</context>
</TS>
