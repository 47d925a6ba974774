<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Accesso al microfono negato. Abilitalo in Impostazioni di Sistema.</source>
        <translation>Microphone access denied: the system does not let this user use it.</translation>
    </message>
    <message>
        <source>Copia la trascrizione</source>
        <translation>Copy the transcript</translation>
    </message>
    <message>
        <source>Impossibile avviare la registrazione. Controlla il microfono.</source>
        <translation>Could not start recording. Check the microphone.</translation>
    </message>
    <message>
        <source>Impossibile preparare la cartella dei memo.</source>
        <translation>Could not prepare the memos folder.</translation>
    </message>
    <message>
        <source>La cartella non è scrivibile: %1</source>
        <translation>The folder is not writable: %1</translation>
    </message>
    <message>
        <source>Nessuna registrazione</source>
        <translation>No recordings</translation>
    </message>
    <message>
        <source>Nuovo nome...</source>
        <translation>New name...</translation>
    </message>
    <message>
        <source>Premi il pulsante rosso per iniziare.</source>
        <translation>Press the red button to start.</translation>
    </message>
    <message>
        <source>Registrazione non riuscita: %1</source>
        <translation>Recording failed: %1</translation>
    </message>
    <message>
        <source>Trascrivi il memo</source>
        <translation>Transcribe the memo</translation>
    </message>
    <message>
        <source>VOICE MEMOS</source>
        <translation>VOICE MEMOS</translation>
    </message>
    <message>
        <source>Nessun parlato riconosciuto.</source>
        <translation>No speech recognised.</translation>
    </message>
    <message>
        <source>Impossibile leggere l'audio.</source>
        <translation>The audio could not be read.</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non autorizzato. Abilitalo in Impostazioni di Sistema.</source>
        <translation>Speech recognition not authorised.</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non disponibile per questa lingua.</source>
        <translation>Speech recognition is not available for this language.</translation>
    </message>
    <message>
        <source>Il disco è pieno: impossibile registrare.</source>
        <translation>The disk is full: cannot record.</translation>
    </message>
    <message>
        <source>Il disco è pieno: la registrazione si è fermata qui.</source>
        <translation>The disk is full: the recording stopped here.</translation>
    </message>
    <message>
        <source>Il riconoscimento vocale non ha risposto in tempo.</source>
        <translation>Speech recognition did not answer in time.</translation>
    </message>
    <message>
        <source>Il riconoscimento vocale si è interrotto.</source>
        <translation>Speech recognition stopped unexpectedly.</translation>
    </message>
    <message>
        <source>nessun suono dal microfono</source>
        <translation>no sound from the microphone</translation>
    </message>
</context>
</TS>
