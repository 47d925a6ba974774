<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>%1 ha finito</source>
        <translation>%1 ha terminado</translation>
    </message>
    <message>
        <source>%1 ti aspetta</source>
        <translation>%1 te está esperando</translation>
    </message>
    <message>
        <source>Aggiungi questi hook alle mie impostazioni utente di Claude Code (~/.claude/settings.json), unendoli a quelli che ci sono già senza toccare il resto. Servono a Orbelle per avvisarmi quando hai finito o quando mi aspetti.</source>
        <translation>Añade estos hooks a mis ajustes de usuario de Claude Code (~/.claude/settings.json), combinándolos con los que ya existen sin tocar nada más. Orbelle los usa para avisarme cuando hayas terminado o cuando me estés esperando.</translation>
    </message>
    <message>
        <source>Crea il file ~/.codex/hooks.json con questi hook; se esiste già, uniscili a quelli presenti senza toccare il resto. Non modificare la voce notify in ~/.codex/config.toml. Servono a Orbelle per avvisarmi quando hai finito o quando mi aspetti. Poi spiegami come approvarli con /hooks, perché finché non li approvo Codex non li esegue.</source>
        <translation>Crea el archivo ~/.codex/hooks.json con estos hooks; si ya existe, combínalos con los que haya sin tocar nada más. No modifiques la entrada notify en ~/.codex/config.toml. Orbelle los usa para avisarme cuando hayas terminado o cuando me estés esperando. Después explícame cómo aprobarlos con /hooks, porque Codex no los ejecuta hasta que los apruebo.</translation>
    </message>
</context>
</TS>
