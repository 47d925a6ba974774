<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>%1 ha finito</source>
        <translation>%1 has finished</translation>
    </message>
    <message>
        <source>%1 ti aspetta</source>
        <translation>%1 is waiting for you</translation>
    </message>
    <message>
        <source>Aggiungi questi hook alle mie impostazioni utente di Claude Code (~/.claude/settings.json), unendoli a quelli che ci sono già senza toccare il resto. Servono a Orbelle per avvisarmi quando hai finito o quando mi aspetti.</source>
        <translation>Add these hooks to my Claude Code user settings (~/.claude/settings.json), merging them with the ones already there without touching anything else. Orbelle uses them to let me know when you have finished or when you are waiting for me.</translation>
    </message>
    <message>
        <source>Crea il file ~/.codex/hooks.json con questi hook; se esiste già, uniscili a quelli presenti senza toccare il resto. Non modificare la voce notify in ~/.codex/config.toml. Servono a Orbelle per avvisarmi quando hai finito o quando mi aspetti. Poi spiegami come approvarli con /hooks, perché finché non li approvo Codex non li esegue.</source>
        <translation>Create the file ~/.codex/hooks.json with these hooks; if it already exists, merge them with the ones there without touching anything else. Do not change the notify entry in ~/.codex/config.toml. Orbelle uses them to let me know when you have finished or when you are waiting for me. Then explain how to approve them with /hooks, because Codex does not run them until I approve them.</translation>
    </message>
</context>
</TS>
